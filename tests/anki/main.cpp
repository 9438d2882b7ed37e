#include <QCoreApplication>
#include <gtest/gtest.h>

// The audio objects deliver their events through the Qt event loop.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
