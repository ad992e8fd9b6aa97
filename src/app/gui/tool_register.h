// The register of tools: every command a subsystem offers is described once, by the subsystem,
// in a ToolDescriptor (its identifier, texts, key, picture, caption, enabling rule, whether it
// holds a run, and its opener). The frame builds its actions from the register and dispatches
// every command it does not handle itself to the opener registered for it; it only places the
// commands in its menus and toolbar.
#pragma once

#include <QKeySequence>
#include <QString>

#include <functional>
#include <vector>

class DescriptionWindow;
class QPainter;

namespace axolite::gui {

class ToolHost;

// Opens a tool for the active description (nullptr when none is active).
using ToolOpener = std::function<void(ToolHost& host, DescriptionWindow* active)>;
// Whether the command can be chosen now, given the active description (nullptr when none).
using EnablingRule = std::function<bool(const DescriptionWindow* active)>;

struct ToolDescriptor {
    int id = 0;
    const char* menuText = ""; // UTF-8, exactly as the menu shows it
    const char* hint = "";     // the status-bar hint
    QKeySequence shortcut;
    // Draws the 16 × 16 toolbar picture (nullptr: a page of lines).
    void (*drawIcon)(QPainter& painter) = nullptr;
    // The fixed start of the tool's caption, followed by the description's name ("" for none).
    const char* captionPrefix = "";
    // nullptr: always enabled (a rule sees the active description, which may be nullptr).
    EnablingRule enabled;
    // The command opens a modal loop or starts a computation: while a computation runs (it
    // processes events on the GUI thread) the frame disables it.
    bool holdsRun = true;
    ToolOpener open;
};

// Each subsystem registers its tools once at start; a later registration of an identifier
// replaces the earlier one (tests put stand-ins in and the original back).
void registerTool(ToolDescriptor tool);
// The tool registered for an identifier, or nullptr.
const ToolDescriptor* findTool(int id);
// Every registered tool, by identifier.
std::vector<const ToolDescriptor*> registeredTools();

// The tool's caption for a description of this name: its fixed prefix and the name.
QString toolCaption(int id, const QString& name);

// What a tool's own file defines to describe it: a function answering its descriptor.
using ToolMaker = ToolDescriptor();

} // namespace axolite::gui

// One line of a subsystem's registration for a tool written in files of its own: declares the
// tool's maker (a function at namespace scope, defined in the tool's file) and registers what it
// answers.
#define AXOLITE_REGISTER_TOOL(maker)                                                               \
    do {                                                                                           \
        ::axolite::gui::ToolMaker maker;                                                           \
        ::axolite::gui::registerTool(maker());                                                     \
    } while (false)
