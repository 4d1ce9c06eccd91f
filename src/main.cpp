#include "app/application_setup.h"
#include "app/main_window.h"
#include "cli/command_line.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = cli::runWithoutWindow(argc, argv))
        return *status;
    QApplication app(argc, argv);
    setUpApplication(app);
    MainWindow window;
    window.Form_Load();
    window.show();
    return app.exec();
}
