// Whole-number fields, spin buttons and the number-character filter of the training dialogs.
#include "app/training/training_controls.h"

#include "app/gui/leading_number.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace axolite::training_ui {

int leadingWholeNumber(const QString& text) {
    return static_cast<int>(std::clamp<long long>(gui::leadingNumber(text), INT_MIN, INT_MAX));
}

WholeNumberValidator::WholeNumberValidator(int low, int high, bool restoreWhenEmpty,
                                           QLineEdit* field)
    : QValidator(field), low_(low), high_(high), restoreWhenEmpty_(restoreWhenEmpty),
      last_(field->text()) {
    // The last number the field held, for fixup(); set by typing and by the spin buttons alike.
    connect(field, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!text.isEmpty()) {
            last_ = text;
        }
    });
}

QValidator::State WholeNumberValidator::validate(QString& text, int&) const {
    if (text.isEmpty()) {
        return Intermediate;
    }
    if (text.size() > 1 && text[0] == u'0') {
        return Invalid;
    }
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            return Invalid;
        }
    }
    if (text.size() > 10) {
        return Invalid;
    }
    const long long value = text.toLongLong();
    return value >= low_ && value <= high_ ? Acceptable : Invalid;
}

void WholeNumberValidator::fixup(QString& text) const {
    if (restoreWhenEmpty_ && text.isEmpty()) {
        text = last_;
    }
}

QValidator* numberCharacters(QObject* parent) {
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[+.eE0-9]*")),
                                           parent);
}

SpinButtons::SpinButtons(QLineEdit* field, int low, int high, QWidget* parent)
    : QWidget(parent), field_(field), low_(low), high_(high), up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_, down_}) {
        button->setFixedSize(16, 11);
        button->setFocusPolicy(Qt::NoFocus);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void SpinButtons::step(int delta) {
    const long long value = static_cast<long long>(leadingWholeNumber(field_->text())) + delta;
    if (value >= low_ && value <= high_) {
        field_->setText(QString::number(value));
    }
    emit stepped();
}

} // namespace axolite::training_ui
