#include "app/CCommandTable.h"

#include <QAction>

CCommandTable::CCommandTable(QObject* parent) : QObject(parent) {}

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
