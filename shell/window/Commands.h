#pragma once

// The window's commands: each a QAction named as the toolbar has always
// called it, connected to its handler once at start-up. A command is run by
// its exact name; a name that names none runs nothing and is said on the
// error output, never silently ignored.

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QWidget;

class Commands : public QObject {
    Q_OBJECT
public:
    explicit Commands(QWidget& window);

    // A command named `name` (the action's object name, a child of the
    // window) that runs `handler` while `owner` (the registry itself when
    // null) lives.
    QAction* add(const QString& name, const QString& caption, std::function<void()> handler,
                 QObject* owner = nullptr);
    // The command named exactly `name`; nullptr when there is none.
    QAction* find(const QString& name) const;
    // Runs the command named exactly `name`; false when there is none.
    bool run(const QString& name);
    const std::vector<QAction*>& all() const { return actions_; }

private:
    QWidget& window_;
    std::vector<QAction*> actions_;
};
