// The release of the objects WebEngine leaves under a view for accessible
// nodes that are gone. Each node object here gets an accessible interface
// registered for it, and loses it when its node goes, as WebEngine's do.

#include "platform/web/AccessibleNodeObjects.h"

#include <QAccessibleObject>
#include <QMap>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <vector>

namespace {

// What a node needs to be found through the accessibility cache.
class NodeInterface : public QAccessibleObject {
public:
    using QAccessibleObject::QAccessibleObject;
    QAccessibleInterface* parent() const override { return nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text) const override { return object()->objectName(); }
    QAccessible::Role role() const override { return QAccessible::Section; }
    QAccessible::State state() const override { return {}; }
};

enum class Kind {
    Live,   // a node of the page shown
    Gone,   // its node went with its page
    Other,  // not a node's object at all (a timer)
};

struct Placed {
    const char* name;
    const char* parent;  // "" for the view
    Kind kind;
};

struct ReleaseCase {
    const char* what;
    std::vector<Placed> objects;
    QStringList kept;
};

const ReleaseCase kCases[] = {
    {"a page gone goes whole",
     {{"page", "", Kind::Gone}, {"row", "page", Kind::Gone}, {"text", "row", Kind::Gone}},
     {}},
    {"the shown page stays whole",
     {{"page", "", Kind::Live}, {"row", "page", Kind::Live}, {"text", "row", Kind::Live}},
     {"page", "row", "text"}},
    {"the page before goes, the shown one beside it stays",
     {{"old", "", Kind::Gone}, {"old row", "old", Kind::Gone}, {"new", "", Kind::Live}, {"new row", "new", Kind::Live}},
     {"new", "new row"}},
    {"a gone branch under a live node goes",
     {{"page", "", Kind::Live}, {"a", "page", Kind::Gone}, {"a text", "a", Kind::Gone}, {"b", "page", Kind::Live}},
     {"b", "page"}},
    {"a live node keeps the gone ones above it, not their other branches",
     {{"page", "", Kind::Gone}, {"a", "page", Kind::Gone}, {"a text", "a", Kind::Live}, {"c", "page", Kind::Gone}},
     {"a", "a text", "page"}},
    {"what is not a node's object stays, and so does the node it hangs under",
     {{"page", "", Kind::Gone}, {"timer", "page", Kind::Other}, {"layout timer", "", Kind::Other}},
     {"layout timer", "page", "timer"}},
};

void PrintTo(const ReleaseCase& c, std::ostream* out) { *out << c.what; }

class ReleaseNodeObjects : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(ReleaseNodeObjects, KeepsWhatLiveNodesUse)
{
    QWidget view;
    QMap<QString, QObject*> placed;
    for (const Placed& p : GetParam().objects) {
        QObject* parent = *p.parent ? placed.value(p.parent) : &view;
        ASSERT_NE(parent, nullptr) << p.parent;
        QObject* object = p.kind == Kind::Other ? new QTimer(parent) : new QObject(parent);
        object->setObjectName(p.name);
        placed.insert(p.name, object);
        if (p.kind == Kind::Other)
            continue;
        const QAccessible::Id id = QAccessible::registerAccessibleInterface(new NodeInterface(object));
        if (p.kind == Kind::Gone)
            QAccessible::deleteAccessibleInterface(id);
    }

    releaseObjectsOfGoneNodes(&view);

    QStringList kept;
    for (const QObject* object : view.findChildren<QObject*>())
        kept << object->objectName();
    kept.sort();
    EXPECT_EQ(kept, GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReleaseNodeObjects, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ReleaseCase>& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

}  // namespace
