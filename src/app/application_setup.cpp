#include "app/application_setup.h"

#include "app/interface_style.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

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
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("SimSun")});
    font.setPointSizeF(9);
    QApplication::setFont(font);
}
