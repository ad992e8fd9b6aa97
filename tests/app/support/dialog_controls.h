// Finding a dialog's controls by their numeric identifiers, for the GUI tests.
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

// The control with this identifier; the test stops when there is none.
template <typename T> T* control(QWidget& dialog, const char* id) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(id));
    if (widget == nullptr) {
        qFatal("no control %s", id);
    }
    return widget;
}

// The text of the label with this identifier.
inline QString label(QWidget& dialog, const char* id) {
    return control<QLabel>(dialog, id)->text();
}
