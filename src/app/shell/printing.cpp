// Printing and print preview.
#include "app/shell/printing.h"

#include "app/gui/notifier.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QTextDocument>

namespace axolite::shell {

DescriptionPrintout::DescriptionPrintout(QString title, QString text)
    : title_(std::move(title)), text_(std::move(text)) {}

QFont DescriptionPrintout::printFont() {
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(10);
    return font;
}

PrintOutcome DescriptionPrintout::print(QPrinter& printer,
                                        const std::function<bool(int, int)>& onPage) const {
    printer.setDocName(title_);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return PrintOutcome::Failed;
    }
    QTextDocument document;
    document.setDefaultFont(printFont());
    document.documentLayout()->setPaintDevice(painter.device());
    document.setPlainText(text_);
    const QSizeF page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    document.setPageSize(page);
    const int pages = std::max(1, document.pageCount());

    for (int i = 0; i < pages; ++i) {
        if (onPage && !onPage(i + 1, pages)) {
            printer.abort();
            painter.end();
            return PrintOutcome::Cancelled;
        }
        if (i > 0 && !printer.newPage()) {
            painter.end();
            return PrintOutcome::Failed;
        }
        painter.save();
        const QRectF view(0, i * page.height(), page.width(), page.height());
        painter.translate(0, -view.top());
        document.drawContents(&painter, view);
        painter.restore();
    }
    const bool ok = painter.end() && printer.printerState() != QPrinter::Error;
    return ok ? PrintOutcome::Printed : PrintOutcome::Failed;
}

QString previewCaption(int firstPage, int lastPage) {
    if (lastPage <= firstPage) {
        return QStringLiteral("Page %1").arg(firstPage);
    }
    return QStringLiteral("Page %1 - %2").arg(firstPage).arg(lastPage);
}

QString printFailureText(const QString& title, const QString& reason) {
    return QStringLiteral("'%1' не напечатан %2.").arg(title, reason);
}

PrintOutcome printWithAbortDialog(const DescriptionPrintout& printout, QPrinter& printer,
                                  QWidget* parent) {
    QProgressDialog abort(parent);
    // Modal: nothing else is done to the description while it is printed.
    abort.setWindowModality(Qt::ApplicationModal);
    abort.setWindowTitle(QStringLiteral("Печать нейронной сети"));
    abort.setCancelButtonText(QStringLiteral("Отменить"));
    abort.setMinimumDuration(0);
    abort.setAutoClose(false);
    abort.setAutoReset(false);
    abort.show();
    const PrintOutcome outcome = printout.print(printer, [&](int page, int pages) {
        abort.setRange(0, pages);
        abort.setValue(page - 1);
        abort.setLabelText(
            QStringLiteral("%1\nПечать страницы %2").arg(printout.title()).arg(page));
        QApplication::processEvents();
        return !abort.wasCanceled();
    });
    abort.close();
    if (outcome == PrintOutcome::Cancelled) {
        Notifier::instance().show(MessageKind::Information, QStringLiteral("Печать отменена"),
                                  parent);
    } else if (outcome == PrintOutcome::Failed) {
        Notifier::instance().showTitled(
            MessageKind::Error, QStringLiteral("Ошибка печати"),
            printFailureText(printout.title(), QStringLiteral("из-за ошибки принтера")), parent);
    }
    return outcome;
}

bool showPrintPreview(const DescriptionPrintout& printout, QPrinter& printer, QWidget* parent) {
    QPrintPreviewDialog preview(&printer, parent);
    preview.resize(800, 900);
    // The preview's own print would go round the abort dialog and the messages of a failure.
    bool printChosen = false;
    const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction* action : preview.findChildren<QAction*>()) {
        if (action->text() == printText) {
            QObject::disconnect(action, SIGNAL(triggered(bool)), &preview, nullptr);
            QObject::connect(action, &QAction::triggered, &preview, [&preview, &printChosen] {
                printChosen = true;
                preview.accept();
            });
        }
    }
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&printout](QPrinter* target) { printout.print(*target); });
    if (auto* widget = preview.findChild<QPrintPreviewWidget*>()) {
        const auto updateCaption = [&preview, widget] {
            const int first = widget->currentPage();
            const bool two = widget->viewMode() == QPrintPreviewWidget::FacingPagesView;
            const int last = two ? std::min(first + 1, widget->pageCount()) : first;
            preview.setWindowTitle(previewCaption(first, last));
        };
        // Scrolling and zooming report a change; the page buttons and the page field do not,
        // so the caption follows them too (after they have done their work).
        QObject::connect(widget, &QPrintPreviewWidget::previewChanged, &preview, updateCaption);
        for (QAction* action : preview.findChildren<QAction*>()) {
            QObject::connect(action, &QAction::triggered, &preview, updateCaption,
                             Qt::QueuedConnection);
        }
        for (QLineEdit* field : preview.findChildren<QLineEdit*>()) {
            QObject::connect(field, &QLineEdit::editingFinished, &preview, updateCaption,
                             Qt::QueuedConnection);
        }
    }
    preview.exec();
    return printChosen;
}

} // namespace axolite::shell
