#include "app/application_setup.h"
#include "list_module/cutting_list_module.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    setUpApplication(app);
    // The cutting list linked in, as the program would load it.
    provideListModule(&cuttingListModule());
    return RUN_ALL_TESTS();
}
