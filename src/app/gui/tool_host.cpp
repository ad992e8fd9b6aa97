// The register of tools by command identifier.
#include "app/gui/tool_host.h"

#include <map>

namespace axolite::gui {

namespace {

std::map<int, ToolOpener>& registry() {
    static std::map<int, ToolOpener> tools;
    return tools;
}

} // namespace

void registerTool(int id, ToolOpener opener) {
    registry()[id] = std::move(opener);
}

const ToolOpener* registeredTool(int id) {
    const auto it = registry().find(id);
    return it == registry().end() || !it->second ? nullptr : &it->second;
}

} // namespace axolite::gui
