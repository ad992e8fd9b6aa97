// The tools' file dialogs.
#include "app/gui/file_dialogs.h"

#include "app/gui/platform_dialogs.h"

#include <QFileDialog>

namespace axolite::gui {

namespace {

FileChooser& replacement() {
    static FileChooser chooser;
    return chooser;
}

QString platformDialog(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, request.caption, request.start, request.filter);
    prepareFileDialog(dialog);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.defaultSuffix.isEmpty()) {
        dialog.setDefaultSuffix(request.defaultSuffix);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString chooseFile(QWidget* parent, const FileDialogRequest& request) {
    return replacement() ? replacement()(parent, request) : platformDialog(parent, request);
}

void setFileChooser(FileChooser chooser) {
    replacement() = std::move(chooser);
}

QString chooseCsvFile(QWidget* parent) {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.caption = QStringLiteral("Сохранить как");
    request.filter = QStringLiteral("Таблица CSV (*.csv);;Все типы файлов (*)");
    request.defaultSuffix = QStringLiteral("csv");
    return chooseFile(parent, request);
}

} // namespace axolite::gui
