#include <QCoreApplication>
#include <gtest/gtest.h>

// The main of the tests of the widget-free layers: no GUI application, so a
// widget they reached by mistake would not link.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
