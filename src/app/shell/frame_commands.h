// The frame's commands as actions, their enabling and their dispatch. Every command of the
// command table becomes a QAction named by its numeric identifier. A command the frame carries out
// itself has a handler here (own); every other command goes to the opener registered for it in
// the register of tools, so a newly registered tool is dispatched with no change to the frame.
#pragma once

#include <QObject>

#include <functional>
#include <map>

class QAction;
class QWidget;
class THelpCursor;

namespace axolite::gui {
class ToolHost;
}

class TFrameCommands : public QObject {
    Q_OBJECT
public:
    struct OwnCommand {
        std::function<void()> run;
        std::function<bool()> enabled; // nullptr: always
        // Opens a modal loop or starts a computation: disabled while a computation runs.
        bool holdsRun = false;
    };

    // frame: where the actions live (and their keys work); host: what a tool is opened with.
    TFrameCommands(QWidget* frame, axolite::gui::ToolHost& host, THelpCursor& helpCursor);

    // A command the frame carries out itself (before build()).
    void own(int id, OwnCommand command);
    // Makes the actions of every command of the command table.
    void build();

    QAction* action(int id) const;
    const std::map<int, QAction*>& actions() const { return actions_; }

    // Carries out a command as its action does when chosen (with the help cursor: its topic).
    void dispatch(int id);
    // Re-evaluates the enabling of every command; busy: a computation runs.
    void update(bool busy);

private:
    QWidget* frame_;
    axolite::gui::ToolHost& host_;
    THelpCursor& helpCursor_;
    std::map<int, OwnCommand> own_;
    std::map<int, QAction*> actions_;
};
