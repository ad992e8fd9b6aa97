// The writers' side of pattern files for every tool that writes them ("Сформировать файл образов
// ..."): the save dialog and the writing under the status window.
#pragma once

#include "app/gui/file_dialogs.h"

#include <QString>

#include <vector>

class QWidget;

namespace axolite::platform {
struct FolderSettings;
}

namespace axolite::gui {

// The save dialog of pattern files: filter "Файлы образов (*.ptn)", default extension "ptn",
// starting in the reference-patterns folder once the folders have been set (folders may be
// nullptr). The platform's dialog asks before an existing file is replaced.
FileDialogRequest patternSaveRequest(const platform::FolderSettings* folders);

// Asks for the file and writes the values with "%g " each, no line break, while the status
// window shows statusText ("Формируется файл образов ...", ...). Cancel writes nothing and
// answers false. The file is written through a temporary file and a rename; when it cannot be
// created the message "Невозможно создать файл <path>" (stop icon) is shown, nothing is left
// behind and the answer is false.
bool savePatternFile(QWidget* parent, const platform::FolderSettings* folders,
                     const QString& statusText, const std::vector<double>& values);

} // namespace axolite::gui
