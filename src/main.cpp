#include "app/application_setup.h"
#include "app/font_config_preload.h"
#include "app/list_module.h"
#include "app/main_window.h"
#include "cli/command_line.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    const auto listCommands = [](QString& error) -> const cli::ListCommands* {
        const ListModule* list = listModule(&error);
        return list ? &list->commands() : nullptr;
    };
    if (const std::optional<int> status = cli::runWithoutWindow(argc, argv, listCommands))
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
