// One window per user folder.

#include "shell/window/SingleInstance.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(SingleInstance, ASecondClaimOnTheSameFolderRaisesTheFirstAndAnotherFolderIsFree)
{
    QTemporaryDir dir;
    auto first = std::make_unique<SingleInstance>(dir.path() + "/one");
    QSignalSpy raised(first.get(), &SingleInstance::raiseRequested);
    ASSERT_TRUE(first->claim());

    SingleInstance second(dir.path() + "/one");
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(second.raiseRunning(5000));
    EXPECT_TRUE(raised.wait(5000));

    SingleInstance other(dir.path() + "/two");
    EXPECT_TRUE(other.claim());

    // The first run ends: its folder is free again, and nobody answers.
    first.reset();
    SingleInstance third(dir.path() + "/one");
    EXPECT_TRUE(third.claim());
    SingleInstance fourth(dir.path() + "/three");
    EXPECT_FALSE(fourth.raiseRunning(300));
}

}  // namespace
