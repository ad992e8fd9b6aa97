// The trained network written as a description file: the file chosen, the description and its
// models written, a note where the simulation would not find those models, and the description
// opened in the main window.
#pragma once

class QWidget;
class TOpenedNote;

namespace axolite::gui {
class ToolHost;
}

namespace axolite::training {
class LayeredNetwork;
}

namespace axolite::training_ui {

// host may be nullptr: the description is written but not opened. note: where the opened
// description is named.
void writeTrainedDescription(const training::LayeredNetwork& network, gui::ToolHost* host,
                             TOpenedNote& note, QWidget* parent);

} // namespace axolite::training_ui
