#pragma once

// What the cutting-list window's files share: the untitled list's name and
// contents, paths as the desktop shows them, and a long list of problems
// cut to what a message box can hold.

#include "core/schedule/cutting_list.h"

#include <QDir>
#include <QString>
#include <QStringList>

namespace list_window {

inline const QString kUntitled = QStringLiteral("未命名");

inline schedule::CuttingList freshList() {
    schedule::CuttingList list;
    list.members << schedule::Member{QStringLiteral("构件1"), 1, {}};
    return list;
}

inline QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Problems listed in a message at most; the rest are counted.
inline QString listedProblems(const QStringList& problems) {
    constexpr int kProblemsShown = 12;
    QStringList shown = problems.mid(0, kProblemsShown);
    if (problems.size() > kProblemsShown)
        shown << QStringLiteral("……另有 %1 处").arg(problems.size() - kProblemsShown);
    return shown.join(QLatin1Char('\n'));
}

} // namespace list_window
