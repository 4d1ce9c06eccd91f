#include <QGuiApplication>
#include <gtest/gtest.h>

// The main of the tests of layers that paint but own no widgets (the printed
// pages): a GUI application without the widget library, so a widget they
// reached by mistake would not link.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
