#include "ui/schedule/schedule_window.h"

// The cutting-list window's files: open, save, CSV, autosave and closing.

#include "core/codes/steel_grades.h"
#include "core/numbers/number_reading.h"
#include "core/numbers/number_text.h"
#include "core/schedule/csv.h"
#include "core/schedule/list_file.h"
#include "core/schedule/row_columns.h"
#include "ui/form/feedback.h"
#include "ui/schedule/list_help.h"
#include "ui/schedule/list_output.h"
#include "ui/schedule/list_table_model.h"
#include "ui/schedule/list_table_view.h"
#include "ui/schedule/list_window_common.h"
#include "ui/schedule/plan_view.h"
#include "ui/schedule/sketch_panel.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSaveFile>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

using namespace schedule;
using namespace list_window;

namespace {

const QString kListFilter = QStringLiteral("Corvala 下料单 (*.cvl)");
const QString kCsvFilter = QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)");

} // namespace

// ---- files ----

QString ScheduleWindow::suggestedDirectory() const {
    if (!m_document->filePath().isEmpty())
        return QFileInfo(m_document->filePath()).absolutePath();
    const QStringList recent = m_recent.files();
    if (!recent.isEmpty())
        return QFileInfo(recent.first()).absolutePath();
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

bool ScheduleWindow::settleUnsaved() {
    if (!m_document->isModified())
        return true;
    const QString name =
        m_document->filePath().isEmpty() ? kUntitled : QFileInfo(m_document->filePath()).fileName();
    const int answer = feedback::ask(
        this, QStringLiteral("下料单“%1”有未保存的修改，是否保存？").arg(name),
        {QStringLiteral("保存"), QStringLiteral("不保存"), QStringLiteral("取消")}, 2);
    if (answer == 0)
        return save();
    return answer == 1;
}

void ScheduleWindow::newList() {
    if (!settleUnsaved())
        return;
    m_planView->stopAndWait();
    m_autosave.remove();
    m_document->replace(freshList(), {}, false);
    showStatus(QStringLiteral("新建下料单"));
}

void ScheduleWindow::chooseAndOpen() {
    if (!settleUnsaved())
        return;
    const QString path =
        feedback::chooseFile(this, feedback::FileChoice::Open, QStringLiteral("打开下料单"),
                             suggestedDirectory(), kListFilter);
    if (!path.isEmpty())
        loadFile(path);
}

bool ScheduleWindow::openFile(const QString& path) {
    return settleUnsaved() && loadFile(path);
}

bool ScheduleWindow::loadFile(const QString& path) {
    // Read whole before anything open is touched: a file that fails leaves
    // the list as it was.
    const LoadedList loaded = loadListFile(path);
    if (!loaded.list) {
        feedback::message(this,
                          QStringLiteral("无法打开“%1”：\n%2").arg(nativePath(path), loaded.error));
        if (!QFileInfo::exists(path)) {
            m_recent.remove(path);
            refreshRecentMenu();
        }
        return false;
    }
    std::optional<plans::ListPlan> plan = readPlan(loaded, path);
    m_planView->stopAndWait();
    m_autosave.remove();
    m_document->replace(*loaded.list, QFileInfo(path).absoluteFilePath(), false, plan);
    if (plan)
        m_planView->setSettings(plan->settings);
    m_recent.add(path);
    refreshRecentMenu();
    showStatus(QStringLiteral("已打开 %1").arg(nativePath(path)));
    return true;
}

bool ScheduleWindow::save() {
    if (m_document->filePath().isEmpty())
        return saveAs();
    return writeTo(m_document->filePath());
}

bool ScheduleWindow::saveAs() {
    const QString suggested =
        m_document->filePath().isEmpty()
            ? suggestedDirectory() + QLatin1Char('/') + kUntitled + QStringLiteral(".cvl")
            : m_document->filePath();
    QString path = feedback::chooseFile(this, feedback::FileChoice::Save, QStringLiteral("另存为"),
                                        suggested, kListFilter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().compare(kListFileSuffix, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + kListFileSuffix;
    return writeTo(path);
}

bool ScheduleWindow::writeTo(const QString& path) {
    if (const std::optional<QString> error =
            saveListFile(m_document->list(), path, planSection())) {
        feedback::message(this, QStringLiteral("无法保存“%1”：\n%2").arg(nativePath(path), *error));
        return false;
    }
    m_autosave.remove();
    m_document->setFilePath(QFileInfo(path).absoluteFilePath());
    m_document->undoStack()->setClean();
    m_recent.add(path);
    refreshRecentMenu();
    refreshTitle();
    showStatus(QStringLiteral("已保存 %1").arg(nativePath(path)));
    return true;
}

std::optional<plans::ListPlan> ScheduleWindow::readPlan(const LoadedList& loaded,
                                                        const QString& path) {
    const plans::LoadedPlan read = plans::planFromJson(loaded.plan);
    if (!read.error.isEmpty())
        feedback::message(this,
                          QStringLiteral("“%1”中保存的下料方案无法读取，已舍弃；下料单照常打开。"
                                         "\n%2")
                              .arg(nativePath(path), read.error));
    return read.plan;
}

QJsonObject ScheduleWindow::planSection() const {
    const std::optional<plans::ListPlan>& plan = m_document->plan();
    return plan ? plans::planToJson(*plan) : QJsonObject();
}

void ScheduleWindow::importCsv() {
    const QString path =
        feedback::chooseFile(this, feedback::FileChoice::Open, QStringLiteral("导入 CSV"),
                             suggestedDirectory(), kCsvFilter);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        feedback::message(
            this, QStringLiteral("无法读取“%1”：\n%2").arg(nativePath(path), file.errorString()));
        return;
    }
    const CsvImport read = schedule::importCsv(file.readAll());
    if (!read.error.isEmpty()) {
        feedback::message(this,
                          QStringLiteral("无法导入“%1”：\n%2").arg(nativePath(path), read.error));
        return;
    }
    if (!read.problems.isEmpty()) {
        QStringList lines;
        for (const CsvProblem& p : read.problems)
            lines << QStringLiteral("第 %1 行：%2").arg(p.line).arg(p.reason);
        const int answer =
            feedback::ask(this,
                          QStringLiteral("“%1”中有 %2 行无法读取：\n%3\n\n是否导入其余 %4 行？")
                              .arg(QFileInfo(path).fileName())
                              .arg(read.problems.size())
                              .arg(listedProblems(lines))
                              .arg(read.rowsRead),
                          {QStringLiteral("导入其余"), QStringLiteral("取消")}, 1);
        if (answer != 0)
            return;
    }
    if (read.rowsRead == 0 || read.list.members.isEmpty()) {
        feedback::message(
            this, QStringLiteral("“%1”中没有可导入的钢筋行。").arg(QFileInfo(path).fileName()));
        return;
    }
    CuttingList list = m_document->list();
    // A new list's one empty member gives way to what is imported.
    if (list.members.size() == 1 && list.members.first() == freshList().members.first())
        list.members.clear();
    const int first = static_cast<int>(list.members.size());
    list.members += read.list.members;
    m_document->change(QStringLiteral("导入 CSV"), list, ListCursor{first, 0, 0}, cursor());
    showStatus(QStringLiteral("已导入 %1 行（%2 个构件）")
                   .arg(read.rowsRead)
                   .arg(read.list.members.size()));
}

void ScheduleWindow::exportCsv() {
    const QString& own = m_document->filePath();
    const QString suggested =
        own.isEmpty() ? suggestedDirectory() + QLatin1Char('/') + kUntitled + QStringLiteral(".csv")
                      : QFileInfo(own).absolutePath() + QLatin1Char('/') +
                            QFileInfo(own).completeBaseName() + QStringLiteral(".csv");
    QString path = feedback::chooseFile(this, feedback::FileChoice::Save,
                                        QStringLiteral("导出 CSV"), suggested, kCsvFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(schedule::exportCsv(m_document->list(), m_document->computed())) < 0 ||
        !file.commit()) {
        feedback::message(
            this, QStringLiteral("无法写入“%1”：\n%2").arg(nativePath(path), file.errorString()));
        return;
    }
    showStatus(QStringLiteral("已导出 %1").arg(nativePath(path)));
}

// ---- autosave and closing ----

void ScheduleWindow::autosaveNow() {
    if (!m_document->isModified() || m_document->revision() == m_autosavedRevision)
        return;
    if (const std::optional<QString> error =
            m_autosave.write(m_document->list(), m_document->filePath(), planSection())) {
        showStatus(QStringLiteral("自动保存失败：%1").arg(*error));
        return;
    }
    m_autosavedRevision = m_document->revision();
}

void ScheduleWindow::offerRecovery() {
    for (const AutosaveStore::Entry& entry : m_autosave.entries()) {
        const QString name =
            entry.originalPath.isEmpty() ? kUntitled : nativePath(entry.originalPath);
        const int answer = feedback::ask(this,
                                         QStringLiteral("恢复未保存的下料单？\n\n%1\n自动保存于 %2")
                                             .arg(name, entry.saved.toLocalTime().toString(
                                                            QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
                                         {QStringLiteral("恢复"), QStringLiteral("放弃")}, 1);
        if (answer != 0) {
            AutosaveStore::discard(entry);
            continue;
        }
        const LoadedList loaded = loadListFile(entry.copyPath);
        if (!loaded.list) {
            feedback::message(this,
                              QStringLiteral("无法恢复自动保存的下料单：\n%1").arg(loaded.error));
            continue;
        }
        std::optional<plans::ListPlan> plan = readPlan(loaded, entry.copyPath);
        m_planView->stopAndWait();
        m_document->replace(*loaded.list, entry.originalPath, true, plan);
        if (plan)
            m_planView->setSettings(plan->settings);
        m_autosave.adopt(entry);
        m_autosavedRevision = m_document->revision();
        showStatus(QStringLiteral("已恢复自动保存的下料单，尚未保存"));
        return;
    }
}

void ScheduleWindow::closeEvent(QCloseEvent* event) {
    if (!settleUnsaved()) {
        event->ignore();
        return;
    }
    m_planView->stopAndWait();
    const bool letGo = m_document->isModified();
    m_autosave.remove();
    // Changes let go are gone: the window opens again on a list as saved.
    if (letGo)
        m_document->replace(freshList(), {}, false);
    if (m_help)
        m_help->close();
    event->accept();
}
