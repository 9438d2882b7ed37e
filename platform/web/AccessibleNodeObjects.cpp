#include "platform/web/AccessibleNodeObjects.h"

#include <QAccessible>
#include <QObject>

#include <vector>

namespace {

bool isNodeObject(const QObject* object)
{
    return object && object->metaObject() == &QObject::staticMetaObject;
}

// Whether the object, or one below it, is still in use. Below an object in
// use, the branches that are not are deleted; one not in use itself is left
// to its caller, which deletes it with everything below in one go.
bool keepInUse(QObject* object)
{
    bool inUse = QAccessible::queryAccessibleInterface(object) != nullptr;
    std::vector<QObject*> unused;
    for (QObject* child : object->children()) {
        if (!isNodeObject(child) || keepInUse(child))
            inUse = true;
        else
            unused.push_back(child);
    }
    if (inUse) {
        for (QObject* child : unused)
            delete child;
    }
    return inUse;
}

}  // namespace

void releaseObjectsOfGoneNodes(QObject* view)
{
    if (!view)
        return;
    // The tops of the node trees, gathered before anything is deleted.
    std::vector<QObject*> tops;
    for (QObject* object : view->findChildren<QObject*>()) {
        if (isNodeObject(object) && !isNodeObject(object->parent()))
            tops.push_back(object);
    }
    for (QObject* top : tops) {
        if (!keepInUse(top))
            delete top;
    }
}
