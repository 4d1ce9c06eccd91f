#include "app/application_setup.h"

#include "app/interface_style.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
// The first installed of the faces the form was drawn with, named alone; all
// three where none is. A font naming several has the toolkit work out the
// fallback faces of every script it meets at once, though the face has every
// glyph of the form's texts; named alone, its fallbacks are looked up when a
// glyph is first missing.
QStringList interfaceFamilies() {
    const QStringList wanted = {QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")};
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : wanted) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return {family};
    }
    return wanted;
}
} // namespace

void setUpApplication(QApplication& app) {
    app.setApplicationName(QStringLiteral("Corvala"));
    // A self-contained copy (the Windows zip) keeps Qt's translations beside
    // the program; an installed one uses the system Qt's.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QCoreApplication::applicationDirPath() +
                                                             QStringLiteral("/translations")) ||
        translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    // Group boxes with the caption on their line and sunken fields: the look
    // the form's tight frames were laid out for.
    QApplication::setStyle(new InterfaceStyle);
    QFont font = QApplication::font();
    font.setFamilies(interfaceFamilies());
    font.setPointSizeF(9);
    QApplication::setFont(font);
}
