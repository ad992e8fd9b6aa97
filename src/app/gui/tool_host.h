// How a tool meets the frame: the services the frame lends to every tool it opens (the active
// description, the folder settings, opening a description, the status bar). Nothing here belongs
// to one tool: the tools keep their windows in the register of tool windows (tool_windows.h) and
// describe their commands in the register of tools (tool_register.h). Tools include this, never
// the frame.
#pragma once

#include <QString>

class DescriptionWindow;
class QWidget;

namespace axolite::platform {
struct FolderSettings;
}

namespace axolite::gui {

class ToolHost {
public:
    virtual ~ToolHost() = default;

    // The frame: the parent of the tools' dialogs.
    virtual QWidget* frameWidget() = 0;
    // The active description window, or nullptr.
    virtual DescriptionWindow* activeDescription() const = 0;
    // The folder settings of the run.
    virtual axolite::platform::FolderSettings& folders() = 0;
    // Opens a description file in a new window (nullptr when it could not be read; the reason
    // was shown).
    virtual DescriptionWindow* openDescription(const QString& path) = 0;
    // Re-evaluates the enabling of the frame's commands.
    virtual void updateCommands() = 0;
    // A line in the frame's status bar.
    virtual void showStatus(const QString& text) = 0;
};

} // namespace axolite::gui
