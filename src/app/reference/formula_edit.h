// A formula field of the reference dialogs: the keystroke filter and length limit of its dialect,
// and a red frame with the reason as soon as the typed text is no formula (read by the same
// reader as the computation).
#pragma once

#include "core/reference/formula_syntax.h"

#include <QLineEdit>

class TFormulaEdit : public QLineEdit {
    Q_OBJECT
public:
    // id: the control's identifier; allowed: the characters the filter lets through;
    // errorText: the formula's own message, shown first in the tooltip.
    TFormulaEdit(const char* id, int maxLength, const QString& allowed,
                 axolite::reference::FormulaDialect dialect, QWidget* parent);

    void setErrorText(const QString& text) { errorText_ = text; }
    // True when the text reads as a formula of the dialect (a disabled field always reads).
    bool reads() const { return problem_.isEmpty(); }
    // Why the text does not read; empty when it does.
    const QString& problem() const { return problem_; }

    // Why a text is no formula of the dialect; empty when it is one.
    static QString problemOf(const QString& text, axolite::reference::FormulaDialect dialect);

signals:
    // The text was read anew (tooltip and frame are already updated); problem is empty when it
    // reads.
    void checked(const QString& problem);

private:
    void check();

    axolite::reference::FormulaDialect dialect_;
    QString errorText_;
    QString problem_;
};
