// The page event forwarder: calls its destination's public procedure by its
// exact name, and fails silently otherwise.

#include "platform/web/clsForward.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

class Destination : public QObject {
    Q_OBJECT
public:
    QStringList calls;
    Q_INVOKABLE void invokable() { calls << "invokable"; }

public slots:
    void HtmlEventHandler() { calls << "HtmlEventHandler"; }
    void other() { calls << "other"; }
    void withArgument(int) { calls << "withArgument"; }

private slots:
    void hidden() { calls << "hidden"; }
};

struct NameCase {
    const char* method;
    QStringList expectedCalls;
};

class ClsForwardByName : public ::testing::TestWithParam<NameCase> {};

TEST_P(ClsForwardByName, CallsOnlyAPublicProcedureWithoutArgumentsOfThatName)
{
    Destination destination;
    clsForward forward;
    forward.Set_Destination(&destination, QString::fromLatin1(GetParam().method));
    forward.My_Default_Method();
    EXPECT_EQ(destination.calls, GetParam().expectedCalls);
}

INSTANTIATE_TEST_SUITE_P(Names, ClsForwardByName, ::testing::Values(
    NameCase{"HtmlEventHandler", {"HtmlEventHandler"}},
    NameCase{"htmleventhandler", {}},
    NameCase{"invokable", {"invokable"}},
    NameCase{"HtmlEventHandle", {}},
    NameCase{"withArgument", {}},
    NameCase{"hidden", {}},
    NameCase{"", {}}));

TEST(ClsForward, WithoutDestinationDoesNothing)
{
    clsForward forward;
    EXPECT_EQ(forward.bHasDestination, 0);
    forward.My_Default_Method();
    EXPECT_TRUE(forward.oDestObject.isNull());
}

TEST(ClsForward, SetDestinationKeepsObjectAndNameAndMarksTrue)
{
    Destination destination;
    clsForward forward;
    QString name = "HtmlEventHandler";
    forward.Set_Destination(&destination, name);
    name = "other";
    EXPECT_EQ(forward.oDestObject, &destination);
    EXPECT_EQ(forward.sDestMethod, "HtmlEventHandler");
    EXPECT_EQ(forward.bHasDestination, -1);
}

TEST(ClsForward, EachEventCallsTheDestinationOnceInOrder)
{
    Destination destination;
    clsForward toHandler;
    clsForward toOther;
    toHandler.Set_Destination(&destination, "HtmlEventHandler");
    toOther.Set_Destination(&destination, "other");
    toHandler.My_Default_Method();
    toOther.My_Default_Method();
    toHandler.My_Default_Method();
    EXPECT_EQ(destination.calls, QStringList({"HtmlEventHandler", "other", "HtmlEventHandler"}));
}

TEST(ClsForward, LeavesQObjectsOwnSlotsAlone)
{
    QPointer<Destination> destination = new Destination;
    clsForward forward;
    forward.Set_Destination(destination, "deleteLater");
    forward.My_Default_Method();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(destination.isNull());
    delete destination.data();
}

TEST(ClsForward, DestroyedDestinationIsASilentNoOp)
{
    clsForward forward;
    {
        Destination destination;
        forward.Set_Destination(&destination, "HtmlEventHandler");
    }
    forward.My_Default_Method();
    EXPECT_TRUE(forward.oDestObject.isNull());
}

}

#include "ClsForwardTest.moc"
