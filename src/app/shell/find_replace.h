// Find and replace in the active description's editor: the one find dialog of the frame and the
// last request, which "Следующий" (F3) repeats.
#pragma once

#include "app/shell/find_dialog.h"

#include <QObject>
#include <QPointer>

#include <functional>

class TAxoliteMDIChild;

class TFindReplace : public QObject {
    Q_OBJECT
public:
    // frame: the parent of the dialog and of the messages; active: the window searched.
    TFindReplace(QWidget* frame, std::function<TAxoliteMDIChild*()> active);
    ~TFindReplace() override;

    // "Найти ..." (replace false) and "Заменить ...", with the selection as the text sought.
    void show(bool replace);
    // "Следующий": the last request again.
    void findNext();
    // A text was asked for: "Следующий" can repeat it.
    bool hasRequest() const { return !lastFind_.text.isEmpty(); }
    void closeDialog();

signals:
    // The selection or the request changed.
    void changed();

private:
    void replaceNext();
    void replaceAll();
    void notFound();

    QWidget* frame_;
    std::function<TAxoliteMDIChild*()> active_;
    QPointer<TFindDialog> dialog_;
    FindRequest lastFind_;
};
