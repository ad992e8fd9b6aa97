// The register of tools by command identifier.
#include "app/gui/tool_register.h"

#include <map>

namespace axolite::gui {

namespace {

std::map<int, ToolDescriptor>& registry() {
    static std::map<int, ToolDescriptor> tools;
    return tools;
}

} // namespace

void registerTool(ToolDescriptor tool) {
    const int id = tool.id;
    registry()[id] = std::move(tool);
}

const ToolDescriptor* findTool(int id) {
    const auto it = registry().find(id);
    return it == registry().end() ? nullptr : &it->second;
}

std::vector<const ToolDescriptor*> registeredTools() {
    std::vector<const ToolDescriptor*> tools;
    tools.reserve(registry().size());
    for (const auto& entry : registry()) {
        tools.push_back(&entry.second);
    }
    return tools;
}

QString toolCaption(int id, const QString& name) {
    const ToolDescriptor* tool = findTool(id);
    return (tool != nullptr ? QString::fromUtf8(tool->captionPrefix) : QString()) + name;
}

} // namespace axolite::gui
