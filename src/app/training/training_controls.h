// The small controls of the training dialogs: whole-number fields that refuse out-of-range
// typing, the spin buttons beside them, the keystroke filter of number fields, and the reading
// of a field's leading whole number.
#pragma once

#include <QValidator>
#include <QWidget>

#include <climits>

class QLineEdit;
class QToolButton;

namespace axolite::training_ui {

// The whole number a text begins with, as atoi reads it (blanks, a sign, digits); 0 when there
// is none. Clamped to the int range instead of overflowing.
int leadingWholeNumber(const QString& text);

// Accepts the empty text (while typing) and whole numbers low … high written without a sign or
// leading zeros; refuses every other keystroke. When the field is left empty it takes back the
// last number it held, when asked to (the layer counts).
class WholeNumberValidator : public QValidator {
    Q_OBJECT
public:
    WholeNumberValidator(int low, int high, bool restoreWhenEmpty, QLineEdit* field);
    State validate(QString& text, int& position) const override;
    void fixup(QString& text) const override;

private:
    int low_;
    int high_;
    bool restoreWhenEmpty_;
    QString last_;
};

// The characters "+.eE0123456789" only (the learning rate, the investigated inputs).
QValidator* numberCharacters(QObject* parent);

// Two arrow buttons ("up" and "down") beside a field: a click adds +1 or −1 to the whole number
// in the field and writes the sum back in plain decimal when it lies in low … high; otherwise the
// field stays as it was. stepped() follows every click.
class SpinButtons : public QWidget {
    Q_OBJECT
public:
    SpinButtons(QLineEdit* field, int low, int high, QWidget* parent);
    void step(int delta);
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    void stepped();

private:
    QLineEdit* field_;
    int low_;
    int high_;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace axolite::training_ui
