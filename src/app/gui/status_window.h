// The one-line status window with a cancel button, shown while directories are scanned or a
// pattern file is written.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TStatusWindow : public QDialog {
    Q_OBJECT
public:
    // Creates the window with its text line; the caller shows it.
    explicit TStatusWindow(const QString& text, QWidget* parent = nullptr,
                           const QString& title = QStringLiteral("Сканирование директорий"));

    void setText(const QString& text);
    QString text() const;

    // Raised by "Отменить" (or by closing the window) and never lowered.
    bool cancelRequested() const { return cancelRequested_; }
    void requestCancel();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QLabel* line_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool cancelRequested_ = false;
};
