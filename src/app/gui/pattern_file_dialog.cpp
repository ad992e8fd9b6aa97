// Writing a pattern file from a tool: dialog, status window, temporary file and rename.
#include "app/gui/pattern_file_dialog.h"

#include "app/gui/notifier.h"
#include "app/gui/status_window.h"
#include "core/platform/folder_settings.h"
#include "core/training/pattern_file.h"
#include "render/safe_file.h"

#include <QCoreApplication>

namespace axolite::gui {

FileDialogRequest patternSaveRequest(const platform::FolderSettings* folders) {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.caption = QStringLiteral("Сохранить как");
    request.filter = QStringLiteral("Файлы образов (*.ptn)");
    request.defaultSuffix = QStringLiteral("ptn");
    if (folders != nullptr && folders->set) {
        request.start = QString::fromStdString(folders->patterns);
    }
    return request;
}

bool savePatternFile(QWidget* parent, const platform::FolderSettings* folders,
                     const QString& statusText, const std::vector<double>& values) {
    const QString path = chooseFile(parent, patternSaveRequest(folders));
    if (path.isEmpty()) {
        return false;
    }
    // The status window only tells what is going on; the writing does not wait for it.
    TStatusWindow status(statusText, parent);
    status.show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const QByteArray text = QByteArray::fromStdString(training::formatPatternValues(values));
    const bool written = !render::writeFile(path, text);
    status.hide();
    if (!written) {
        Notifier::instance().show(MessageKind::Error,
                                  QStringLiteral("Невозможно создать файл ") + path, parent);
    }
    return written;
}

} // namespace axolite::gui
