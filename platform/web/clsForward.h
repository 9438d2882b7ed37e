#pragma once

// The page event forwarder: installed as an element's mouse-down handler, it
// calls a public procedure of its destination by name when the page calls it.

#include "platform/web/HtmlView.h"

#include <QObject>
#include <QPointer>
#include <QString>

class clsForward : public PageEventHandler {
public:
    QPointer<QObject> oDestObject;
    QString sDestMethod;
    int bHasDestination = 0;

    void Set_Destination(QObject* oInObject, const QString& sInMethod);
    // Calls the destination's public slot or invokable without arguments
    // named exactly sDestMethod. A missing procedure or a destination that no
    // longer exists makes the call do nothing.
    void My_Default_Method() override;
};
