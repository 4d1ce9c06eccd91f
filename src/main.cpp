#include "app/application_setup.h"
#include "app/font_config_preload.h"
#include "app/list_module.h"
#include "app/main_window.h"
#include "cli/command_line.h"

#include <QApplication>
#include <QGuiApplication>

int main(int argc, char* argv[]) {
    const auto listCommands = [](QString& error) -> const cli::ListCommands* {
        const ListModule* list = listModule(&error);
        return list ? &list->commands() : nullptr;
    };
    // PDFs written from the command line (--tags, --cutting-sheet) draw their
    // text as the window's printing does, with no display: offscreen where the
    // system has one.
    const auto paintingApplication = [](int& count, char** arguments) {
#ifndef Q_OS_WIN
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Over ssh there is often no runtime folder, which the toolkit says on
        // standard error as it starts; a script reads only the command's
        // answer and its reasons there.
        static const QtMessageHandler toolkit = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
                if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: ")))
                    return;
                toolkit(type, context, message);
            });
#endif
        return std::unique_ptr<QCoreApplication>(new QGuiApplication(count, arguments));
    };
    if (const std::optional<int> status =
            cli::runWithoutWindow(argc, argv, listCommands, paintingApplication))
        return *status;
    FontConfigPreload fonts;
    QApplication app(argc, argv);
    setUpApplication(app);
    fonts.wait();
    const std::unique_ptr<MainWindow> window = openMainWindow();
    // A list handed over by the file manager opens in its own window at once.
    if (const QString file = cli::fileToOpen(QCoreApplication::arguments()); !file.isEmpty())
        window->openCuttingList(file);
    return app.exec();
}
