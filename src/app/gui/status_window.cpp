// The status window: a text line (31200) and "Отменить" (3456) that raises the cancel flag. The
// work that shows it runs on the interface thread and reads the flag after every unit of work.
#include "app/gui/status_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TStatusWindow::TStatusWindow(const QString& text, QWidget* parent, const QString& title)
    : QDialog(parent) {
    setWindowTitle(title);
    setModal(false);
    line_ = new QLabel(text, this);
    line_->setObjectName(QStringLiteral("31200"));
    line_->setMinimumWidth(420);
    // A long path must not widen the window at every update.
    line_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    cancel_ = new QPushButton(QStringLiteral("Отменить"), this);
    cancel_->setObjectName(QStringLiteral("3456"));
    connect(cancel_, &QPushButton::clicked, this, &TStatusWindow::requestCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(line_);
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);
    resize(460, sizeHint().height());
}

void TStatusWindow::setText(const QString& text) {
    line_->setText(text);
}

QString TStatusWindow::text() const {
    return line_->text();
}

void TStatusWindow::requestCancel() {
    cancelRequested_ = true;
    cancel_->setEnabled(false);
}

// Closing the window while the work runs means the same as "Отменить": the work notices the flag
// and destroys the window itself.
void TStatusWindow::closeEvent(QCloseEvent* event) {
    requestCancel();
    event->ignore();
}

void TStatusWindow::reject() {
    requestCancel();
}
