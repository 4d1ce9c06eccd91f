#include "app/application_setup.h"
#include "app/main_window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setUpApplication(app);
    MainWindow window;
    window.startUp();
    window.show();
    return app.exec();
}
