#include "app/application_setup.h"
#include "app/font_config_preload.h"
#include "app/main_window.h"
#include "cli/command_line.h"

#include <QApplication>

#ifdef Q_OS_WIN
#include <cstdio>
#include <windows.h>

namespace {
// A windowed program starts without a console of its own: the answers to
// --help, --version and --eval go to the console it was started from, unless
// they are redirected to a file or pipe already.
void answerOnStartingConsole() {
    const auto unconnected = [](DWORD handle) {
        return GetFileType(GetStdHandle(handle)) == FILE_TYPE_UNKNOWN;
    };
    const bool out = unconnected(STD_OUTPUT_HANDLE);
    const bool err = unconnected(STD_ERROR_HANDLE);
    if ((!out && !err) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (out)
        std::freopen("CONOUT$", "w", stdout);
    if (err)
        std::freopen("CONOUT$", "w", stderr);
}
} // namespace
#endif

int main(int argc, char* argv[]) {
#ifdef Q_OS_WIN
    if (argc > 1)
        answerOnStartingConsole();
#endif
    if (const std::optional<int> status = cli::runWithoutWindow(argc, argv))
        return *status;
    FontConfigPreload fonts;
    QApplication app(argc, argv);
    setUpApplication(app);
    fonts.wait();
    MainWindow window;
    window.startUp();
    window.show();
    return app.exec();
}
