// The platform's own dialogs inside the program: Qt's Russian translations for their standard
// texts, and file dialogs that tell the kind of a file by its name alone, never by reading it.
#pragma once

class QAbstractFileIconProvider;
class QApplication;
class QFileDialog;

namespace axolite::gui {

// Loads Qt's own Russian translations (qtbase_ru.qm from Qt's translations folder) so that the
// standard buttons and dialogs read "Да", "Нет", "Отмена", "Имя файла:", ... Answers false when
// the file is not installed (the texts then stay English). Called once at start.
bool installQtTranslations(QApplication& application);

// Icons and type names of files from their names alone. Qt's default provider opens a file to
// guess its type from its first bytes: a special file that reads forever (/proc/kmsg) then
// holds the dialog, and with it the program, for good.
QAbstractFileIconProvider* nameOnlyIconProvider();

// Every file dialog of the program: Qt's own dialog (the texts translated above, the same on
// every desktop) with the name-only provider, and "Все типы файлов (*.*)" meaning every file, as
// it does where the filters come from.
void prepareFileDialog(QFileDialog& dialog);

// Gives the name-only provider to the file-system models of every window when it is first
// shown, so that the dialogs Qt opens by itself (the print dialog's file field and its browse
// dialog) read no file either. Called once at start.
void guardFileSystemModels(QApplication& application);

} // namespace axolite::gui
