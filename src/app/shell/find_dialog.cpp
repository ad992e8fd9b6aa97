// The find and replace dialog.
#include "app/shell/find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("find"));
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("findText"));
    replacementLabel_ = new QLabel(QStringLiteral("Заменить на :"), this);
    replacement_ = new QLineEdit(this);
    replacement_->setObjectName(QStringLiteral("replaceText"));
    caseSensitive_ = new QCheckBox(QStringLiteral("С учетом регистра"), this);
    wholeWords_ = new QCheckBox(QStringLiteral("Только слово целиком"), this);
    backward_ = new QCheckBox(QStringLiteral("Искать назад"), this);

    auto* next = new QPushButton(QStringLiteral("Найти далее"), this);
    next->setDefault(true);
    replace_ = new QPushButton(QStringLiteral("Заменить"), this);
    replaceAll_ = new QPushButton(QStringLiteral("Заменить все"), this);
    auto* cancel = new QPushButton(QStringLiteral("Отменить"), this);
    connect(next, &QPushButton::clicked, this, &TFindDialog::findNext);
    connect(replace_, &QPushButton::clicked, this, &TFindDialog::replace);
    connect(replaceAll_, &QPushButton::clicked, this, &TFindDialog::replaceAll);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(text_, &QLineEdit::textChanged, this,
            [next](const QString& t) { next->setEnabled(!t.isEmpty()); });

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Образец :"), this), 0, 0);
    grid->addWidget(text_, 0, 1);
    grid->addWidget(replacementLabel_, 1, 0);
    grid->addWidget(replacement_, 1, 1);
    grid->addWidget(caseSensitive_, 2, 0, 1, 2);
    grid->addWidget(wholeWords_, 3, 0, 1, 2);
    grid->addWidget(backward_, 4, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(next);
    buttons->addWidget(replace_);
    buttons->addWidget(replaceAll_);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void TFindDialog::showFor(bool replace, const QString& initialText) {
    setWindowTitle(replace ? QStringLiteral("Заменить") : QStringLiteral("Найти"));
    replacementLabel_->setVisible(replace);
    replacement_->setVisible(replace);
    replace_->setVisible(replace);
    replaceAll_->setVisible(replace);
    if (!initialText.isEmpty()) {
        text_->setText(initialText);
    }
    text_->selectAll();
    show();
    raise();
    activateWindow();
    text_->setFocus();
}

FindRequest TFindDialog::request() const {
    QTextDocument::FindFlags flags;
    if (caseSensitive_->isChecked()) {
        flags |= QTextDocument::FindCaseSensitively;
    }
    if (wholeWords_->isChecked()) {
        flags |= QTextDocument::FindWholeWords;
    }
    if (backward_->isChecked()) {
        flags |= QTextDocument::FindBackward;
    }
    return {text_->text(), replacement_->text(), flags};
}
