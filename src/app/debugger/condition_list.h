// The debugger's conditions: a row per typed expression, with a box that switches it on and off
// and a button that takes it away. A text that is no condition is framed red, with the reason
// beside it, as the user types.
#pragma once

#include <QWidget>

#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QVBoxLayout;

namespace axolite::debugger {
class DebugSession;
}

class TConditionList : public QWidget {
    Q_OBJECT
public:
    explicit TConditionList(QWidget* parent = nullptr);

    // The session the rows edit; nullptr when it ended (the rows stay as they are, disabled).
    void setSession(axolite::debugger::DebugSession* session);

    // A new row with this text, switched on; answers its index.
    int addCondition(const QString& text = {});
    int count() const { return static_cast<int>(rows_.size()); }
    QLineEdit* field(int row) const { return rows_.at(static_cast<std::size_t>(row)).field; }
    QCheckBox* activeBox(int row) const { return rows_.at(static_cast<std::size_t>(row)).active; }
    // Why the row's text is no condition; empty when it reads.
    QString problem(int row) const;
    void removeCondition(int row);

signals:
    // A text, a box or the rows changed.
    void changed();

private:
    struct Row {
        QWidget* box;
        QCheckBox* active;
        QLineEdit* field;
        QToolButton* remove;
        QLabel* reason;
    };
    int rowOf(const QObject* control) const;
    // Compiles the row's text in the session and marks the field by the result.
    void textChanged(int row);

    axolite::debugger::DebugSession* session_ = nullptr;
    std::vector<Row> rows_;
    QVBoxLayout* layout_ = nullptr;
};
