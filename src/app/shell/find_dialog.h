// The find and replace dialog of the description editors (commands 24351, 24352): modeless, one
// per frame; "Следующий" (24353) repeats the last search.
#pragma once

#include <QDialog>
#include <QTextDocument>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QLabel;

struct FindRequest {
    QString text;
    QString replacement;
    QTextDocument::FindFlags flags;
};

class TFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFindDialog(QWidget* parent = nullptr);

    // Shows the dialog for finding only or for replacing too.
    void showFor(bool replace, const QString& initialText);
    FindRequest request() const;

signals:
    void findNext();
    void replace();
    void replaceAll();

private:
    QLineEdit* text_;
    QLabel* replacementLabel_;
    QLineEdit* replacement_;
    QCheckBox* caseSensitive_;
    QCheckBox* wholeWords_;
    QCheckBox* backward_;
    QPushButton* replace_;
    QPushButton* replaceAll_;
};
