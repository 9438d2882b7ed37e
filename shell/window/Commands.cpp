#include "shell/window/Commands.h"

#include <QAction>
#include <QWidget>
#include <QtGlobal>

Commands::Commands(QWidget& window) : QObject(&window), window_(window) {}

QAction* Commands::add(const QString& name, const QString& caption, std::function<void()> handler, QObject* owner)
{
    Q_ASSERT_X(find(name) == nullptr, "Commands::add", qPrintable(name));
    auto* action = new QAction(caption, &window_);
    action->setObjectName(name);
    connect(action, &QAction::triggered, owner != nullptr ? owner : this, [handler = std::move(handler)] { handler(); });
    actions_.push_back(action);
    return action;
}

QAction* Commands::find(const QString& name) const
{
    for (QAction* action : actions_) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

bool Commands::run(const QString& name)
{
    QAction* action = find(name);
    if (action == nullptr) {
        qCritical("Lexbay: no command is named \"%s\"", qPrintable(name));
        return false;
    }
    action->trigger();
    return true;
}
