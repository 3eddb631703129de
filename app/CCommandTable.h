// The commands of the program by numeric id: one action each, shared by the
// menus and the toolbars, with the handler that carries it out and the rule
// that says whether it is enabled and checked.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>

class QAction;

namespace quillmere {

struct CommandState {
    bool enabled = true;
    bool checked = false;
};

class CCommandTable : public QObject {
    Q_OBJECT

public:
    explicit CCommandTable(QObject* parent = nullptr);

    // Defines command id. The prompt is the status-bar text; a checkable
    // command shows a check mark (or a pressed button) while its state says
    // so.
    QAction* Define(int id, const QString& text, const QString& prompt, std::function<void()> run,
                    std::function<CommandState()> state = {}, bool checkable = false);
    QAction* Action(int id) const;
    // Runs a command as a click would: only when it is enabled.
    bool Run(int id);
    // Asks every command for its enabled and checked state. Besides after
    // each command, the table does so by itself after any event, once the
    // events then pending are handled, so that the states follow what no
    // command changed: a cut, a drag in a view, a bar closed with its own
    // button, an animation that ended, a file that appeared.
    void UpdateStates();

signals:
    // A command ran; the states may have changed.
    void Ran(int id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QAction* action = nullptr;
        std::function<void()> run;
        std::function<CommandState()> state;
    };
    std::map<int, Entry> entries;
    QTimer idle;
};

} // namespace quillmere
