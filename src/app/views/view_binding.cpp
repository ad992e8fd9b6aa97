// The binding of the result views to their description windows, and their exports.
#include "app/views/view_binding.h"

#include "app/gui/computation_guard.h"
#include "app/gui/file_dialogs.h"
#include "app/gui/notifier.h"
#include "core/common/number_text.h"
#include "render/picture_files.h"

#include <QDir>
#include <QPainter>
#include <QWidget>

namespace axolite::views_gui {

QString viewCaption(const char* prefix, const DescriptionWindow* window) {
    QString name;
    if (window != nullptr) {
        name = window->path().isEmpty() ? window->displayName()
                                        : QDir::toNativeSeparators(window->path());
    }
    return QString::fromUtf8(prefix) + name;
}

const language::NetworkRecord* ViewBinding::simulatedRecord() const {
    const DescriptionWindow* window = window_.data();
    if (window == nullptr || window->record().simulated == 0 || window->computing()) {
        return nullptr;
    }
    return &window->record();
}

int ViewBinding::shownState() const {
    const language::NetworkRecord* record = simulatedRecord();
    if (record == nullptr) {
        return 0;
    }
    int state = 1;
    for (const auto* flags :
         {&record->networkPresent, &record->rungeKuttaPresent, &record->exactPresent}) {
        for (const std::uint8_t flag : *flags) {
            state = (state << 1) | (flag != 0 ? 1 : 0);
        }
    }
    return state;
}

void ViewBinding::connectRefresh(QObject* view, const std::function<void()>& refresh) {
    shown_ = shownState();
    const auto always = [this, refresh] {
        shown_ = shownState();
        refresh();
    };
    const auto whenShownDataChanges = [this, refresh] {
        const int now = shownState();
        if (now != shown_) {
            shown_ = now;
            refresh();
        }
    };
    if (DescriptionWindow* window = window_.data()) {
        QObject::connect(window, &DescriptionWindow::stateChanged, view, whenShownDataChanges);
        QObject::connect(window, &QObject::destroyed, view, always, Qt::QueuedConnection);
    }
    QObject::connect(&gui::ComputationRegister::instance(),
                     &gui::ComputationRegister::computationEnded, view, always,
                     Qt::QueuedConnection);
}

QString cFormat(const char* format, double value) {
    return QString::fromStdString(axolite::formatNumber(format, value));
}

QString chooseSaveFile(QWidget* parent, const QString& filter, const QString& suffix) {
    gui::FileDialogRequest request;
    request.mode = gui::FileDialogRequest::Mode::Save;
    request.caption = QStringLiteral("Сохранить как");
    request.filter = filter + QStringLiteral(";;Все типы файлов (*)");
    request.defaultSuffix = suffix;
    return gui::chooseFile(parent, request);
}

void reportWriteFailure(QWidget* parent, const QString& path) {
    Notifier::instance().show(
        MessageKind::Error,
        QStringLiteral("Невозможно записать файл %1").arg(QDir::toNativeSeparators(path)), parent);
}

QString exportPicture(QWidget* view, PictureFormat format, const QRect& area,
                      const std::function<void(QPainter&)>& paint) {
    const bool png = format == PictureFormat::Png;
    const QString path = chooseSaveFile(
        view, png ? QStringLiteral("Рисунок PNG (*.png)") : QStringLiteral("Рисунок SVG (*.svg)"),
        png ? QStringLiteral("png") : QStringLiteral("svg"));
    if (path.isEmpty()) {
        return {};
    }
    const auto failure =
        png ? render::savePng(render::renderImage(area, view->devicePixelRatioF(), paint), path)
            : render::saveSvg(path, area, paint);
    if (failure) {
        reportWriteFailure(view, path);
        return {};
    }
    return path;
}

} // namespace axolite::views_gui
