// How a tool meets the frame: the services the frame lends to every tool it opens (the active
// description, the folder settings, opening a description, the companion windows), and the
// register of tools by command identifier. Tools include this, never the frame.
#pragma once

#include <QPointer>
#include <QString>

#include <functional>

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

    // The windows the frame holds at most once for all descriptions: the colour legend, the
    // scales window, and whether the layered-network tool is open.
    virtual QPointer<QWidget>& colourLegend() = 0;
    virtual QPointer<QWidget>& scalesWindow() = 0;
    virtual bool& teachNetworkOpen() = 0;
};

// Opens a tool for the active description (nullptr when none is active).
using ToolOpener = std::function<void(ToolHost& host, DescriptionWindow* active)>;

// Each subsystem registers its tools once at start; a later registration of an identifier
// replaces the earlier one (tests put stand-ins in).
void registerTool(int id, ToolOpener opener);
// The tool registered for an identifier, or nullptr.
const ToolOpener* registeredTool(int id);

} // namespace axolite::gui
