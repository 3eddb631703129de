#include "app/CCommandTable.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>

namespace quillmere {

CCommandTable::CCommandTable(QObject* parent) : QObject(parent) {
    // One update for all the events of a turn of the event loop.
    idle.setSingleShot(true);
    idle.setInterval(0);
    connect(&idle, &QTimer::timeout, this, &CCommandTable::UpdateStates);
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

QAction* CCommandTable::Define(int id, const QString& text, const QString& prompt, std::function<void()> run,
                               std::function<CommandState()> state, bool checkable) {
    auto* action = new QAction(text, this);
    action->setStatusTip(prompt);
    action->setToolTip(QString(text).remove(QLatin1Char('&')));
    action->setCheckable(checkable);
    action->setData(id);
    Entry& entry = entries[id];
    entry.action = action;
    entry.run = std::move(run);
    entry.state = std::move(state);
    connect(action, &QAction::triggered, this, [this, id, action] {
        // A checkable action flips itself; the command's state decides.
        if (action->isCheckable())
            action->setChecked(!action->isChecked());
        const Entry& current = entries[id];
        if (current.run)
            current.run();
        emit Ran(id);
        UpdateStates();
    });
    return action;
}

QAction* CCommandTable::Action(int id) const {
    const auto found = entries.find(id);
    return found == entries.end() ? nullptr : found->second.action;
}

bool CCommandTable::Run(int id) {
    QAction* action = Action(id);
    UpdateStates();
    if (!action || !action->isEnabled())
        return false;
    action->trigger();
    return true;
}

void CCommandTable::UpdateStates() {
    for (auto& [id, entry] : entries) {
        if (!entry.state)
            continue;
        const CommandState state = entry.state();
        entry.action->setEnabled(state.enabled);
        if (entry.action->isCheckable())
            entry.action->setChecked(state.checked);
    }
}

bool CCommandTable::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    // What an update itself brings about is no reason for another.
    case QEvent::Paint:
    case QEvent::UpdateRequest:
    case QEvent::UpdateLater:
    case QEvent::ActionChanged:
    case QEvent::ActionAdded:
    case QEvent::ActionRemoved:
        break;
    default:
        if (watched != &idle && !idle.isActive())
            idle.start();
    }
    return false;
}

} // namespace quillmere
