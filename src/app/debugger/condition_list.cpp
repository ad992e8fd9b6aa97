// The condition rows and their reading as the user types.
#include "app/debugger/condition_list.h"

#include "app/debugger/debugger_ids.h"
#include "core/debugger/debug_session.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

using namespace axolite::debugger_gui;

TConditionList::TConditionList(QWidget* parent) : QWidget(parent) {
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(2);
}

void TConditionList::setSession(axolite::debugger::DebugSession* session) {
    session_ = session;
    setEnabled(session != nullptr);
}

int TConditionList::addCondition(const QString& text) {
    if (session_ == nullptr) {
        return -1;
    }
    session_->addCondition(text.toStdString());
    Row row{};
    row.box = new QWidget(this);
    auto* column = new QVBoxLayout(row.box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* line = new QHBoxLayout;
    row.active = named(new QCheckBox(row.box), kConditionActive);
    row.active->setChecked(true);
    row.active->setToolTip(QStringLiteral("Условие включено"));
    row.field = named(new QLineEdit(text, row.box), kConditionField);
    row.field->setPlaceholderText(QStringLiteral("например, n3 > 0.5"));
    row.remove = named(new QToolButton(row.box), kConditionRemove);
    row.remove->setText(QStringLiteral("×"));
    row.remove->setToolTip(QStringLiteral("Удалить условие"));
    row.reason = named(new QLabel(row.box), kConditionReason);
    row.reason->setStyleSheet(QStringLiteral("QLabel { color: #d00000; }"));
    line->addWidget(row.active);
    line->addWidget(row.field, 1);
    line->addWidget(row.remove);
    column->addLayout(line);
    column->addWidget(row.reason);
    layout_->addWidget(row.box);
    rows_.push_back(row);

    connect(row.field, &QLineEdit::textChanged, this,
            [this, field = row.field] { textChanged(rowOf(field)); });
    connect(row.active, &QCheckBox::toggled, this, [this, box = row.active](bool on) {
        if (session_ != nullptr) {
            session_->setConditionActive(static_cast<std::size_t>(rowOf(box)), on);
            emit changed();
        }
    });
    connect(row.remove, &QToolButton::clicked, this,
            [this, button = row.remove] { removeCondition(rowOf(button)); });
    textChanged(count() - 1);
    return count() - 1;
}

int TConditionList::rowOf(const QObject* control) const {
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        const Row& row = rows_[k];
        if (control == row.active || control == row.field || control == row.remove) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

QString TConditionList::problem(int row) const {
    return rows_.at(static_cast<std::size_t>(row)).reason->text();
}

void TConditionList::textChanged(int row) {
    if (session_ == nullptr || row < 0) {
        return;
    }
    const Row& r = rows_[static_cast<std::size_t>(row)];
    session_->setConditionText(static_cast<std::size_t>(row), r.field->text().toStdString());
    const auto& entry = session_->conditions()[static_cast<std::size_t>(row)];
    const QString reason = entry.error ? QString::fromStdString(entry.error->text()) : QString();
    r.reason->setText(reason);
    r.reason->setVisible(!reason.isEmpty());
    r.field->setToolTip(reason);
    r.field->setStyleSheet(
        reason.isEmpty() ? QString() : QStringLiteral("QLineEdit { border: 2px solid #d00000; }"));
    emit changed();
}

void TConditionList::removeCondition(int row) {
    if (session_ == nullptr || row < 0 || row >= count()) {
        return;
    }
    session_->removeCondition(static_cast<std::size_t>(row));
    QWidget* box = rows_[static_cast<std::size_t>(row)].box;
    rows_.erase(rows_.begin() + row);
    delete box;
    emit changed();
}
