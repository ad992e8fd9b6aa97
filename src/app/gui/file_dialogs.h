// The file dialogs of the tools (pattern files, generated descriptions), through one function
// that tests replace, so a GUI test answers a file dialog instead of blocking on it.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace axolite::gui {

struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString caption;
    QString start;  // the folder, or a proposed path, the dialog starts in
    QString filter; // "Файлы образов (*.ptn);;Все типы файлов (*.*)"
    QString defaultSuffix; // added to a saved name typed without one ("ptn")
};

// Shows the platform's file dialog; answers the chosen path, empty when the user cancelled.
QString chooseFile(QWidget* parent, const FileDialogRequest& request);

// Asks for a CSV table to save ("Таблица CSV (*.csv)", suffix csv); empty when cancelled.
QString chooseCsvFile(QWidget* parent);

// Tests answer the dialogs; an empty chooser puts the platform's dialog back.
using FileChooser = std::function<QString(QWidget* parent, const FileDialogRequest& request)>;
void setFileChooser(FileChooser chooser);

} // namespace axolite::gui
