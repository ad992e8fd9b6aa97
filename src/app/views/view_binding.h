// What the result views share: the description window a view is bound to (held by QPointer, so a
// closed window is seen as gone), the record it may read, the captions, printf-formatted numbers,
// and the export of pictures and tables to files.
#pragma once

#include "app/gui/description_window.h"
#include "core/language/network_record.h"

#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>

class QPainter;
class QWidget;

namespace axolite::views_gui {

// The captions of the views: a fixed prefix and the description's path.
inline constexpr const char* kGraphsCaption = "Графики активности нейронов выходного слоя сети ";
inline constexpr const char* kNumericCaption =
    "Числовые значения активности нейронов выходного слоя сети ";
inline constexpr const char* kDynamicsCaption = "Динамика нейронов выходного слоя сети ";

QString viewCaption(const char* prefix, const DescriptionWindow* window);

// The binding of a view to its description window.
class ViewBinding {
public:
    explicit ViewBinding(DescriptionWindow* window) : window_(window) {}

    DescriptionWindow* window() const { return window_.data(); }

    // The record when the window is still open, its description is simulated and no computation
    // is working on it (a simulation run rewrites the series step by step); nullptr otherwise,
    // and the view then draws only its empty frame.
    const language::NetworkRecord* simulatedRecord() const;

    // Calls refresh when a computation ends, when the window goes, and when a change of the
    // window's state (an edit, a tool opened or closed) makes its data readable or unreadable
    // or raises or lowers a presence flag (a reference dialog opened or closed without
    // computing); a move of the editor's caret redraws nothing. For as long as the view exists.
    void connectRefresh(QObject* view, const std::function<void()>& refresh);

private:
    // What the views show depends on: readable or not, and the twelve presence flags.
    int shownState() const;

    QPointer<DescriptionWindow> window_;
    int shown_ = 0; // what the last refresh found
};

// A number as printf would write it with this format (one double), with a point whatever the
// locale; NaN and infinities as printf writes them ("nan", "-inf", "INF" for %E, ...).
QString cFormat(const char* format, double value);

// Asks for a file to save (the file dialog of the program) with one filter and suffix; empty when
// the user cancelled.
QString chooseSaveFile(QWidget* parent, const QString& filter, const QString& suffix);

// The picture formats a view exports.
enum class PictureFormat { Png, Svg };

// Asks for a file and writes area of the view's client coordinates drawn by paint: PNG at the
// screen's pixel ratio (the pixels on the screen), or SVG. Shows "Невозможно записать файл %s" on
// failure. Answers the path written, empty when cancelled or failed.
QString exportPicture(QWidget* view, PictureFormat format, const QRect& area,
                      const std::function<void(QPainter&)>& paint);

// Shows "Невозможно записать файл %s".
void reportWriteFailure(QWidget* parent, const QString& path);

} // namespace axolite::views_gui
