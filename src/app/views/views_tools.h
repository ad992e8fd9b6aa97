// The result views the frame opens by command: graphs (14), numeric values (12), dynamics (13),
// with their companion windows, the colour legend and the scales window.
#pragma once

namespace axolite::views_gui {

// The kinds under which the register of tool windows holds the companions (one each for the
// whole program).
inline constexpr int kColourLegendWindow = 1401;
inline constexpr int kScalesWindow = 1402;

} // namespace axolite::views_gui

void registerViewTools();
