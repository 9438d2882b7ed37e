#include "platform/web/clsForward.h"

#include <QMetaMethod>
#include <QMetaObject>

namespace {

bool isCallableByName(const QMetaMethod& method)
{
    const bool procedure = method.methodType() == QMetaMethod::Slot
        || method.methodType() == QMetaMethod::Method;
    return procedure && method.access() == QMetaMethod::Public && method.parameterCount() == 0;
}

// Only procedures the destination's own classes declare: QObject's slots
// such as deleteLater are not meant to be reached from a page.
QMetaMethod findProcedure(const QMetaObject& type, const QString& name)
{
    for (int i = QObject::staticMetaObject.methodCount(); i < type.methodCount(); ++i) {
        const QMetaMethod method = type.method(i);
        if (isCallableByName(method) && QString::fromLatin1(method.name()) == name)
            return method;
    }
    return {};
}

}

void clsForward::Set_Destination(QObject* oInObject, const QString& sInMethod)
{
    oDestObject = oInObject;
    sDestMethod = sInMethod;
    bHasDestination = -1;
}

void clsForward::My_Default_Method()
{
    if (!bHasDestination || !oDestObject)
        return;
    const QMetaMethod procedure = findProcedure(*oDestObject->metaObject(), sDestMethod);
    if (procedure.isValid())
        procedure.invoke(oDestObject.data(), Qt::DirectConnection);
}
