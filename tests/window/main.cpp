#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The window's tests never need a screen, also when the test list is
    // read at build time.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
