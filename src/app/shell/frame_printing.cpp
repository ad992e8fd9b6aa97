// Printing of a description.
#include "app/shell/frame_printing.h"

#include "app/editor/edit_file.h"
#include "app/shell/mdi_child.h"
#include "app/shell/printing.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

using namespace axolite::shell;

TFramePrinting::TFramePrinting(QWidget* frame) : frame_(frame) {}

TFramePrinting::~TFramePrinting() = default;

QPrinter& TFramePrinting::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer_;
}

void TFramePrinting::setUp() {
    QPrintDialog dialog(&printer(), frame_);
    dialog.setWindowTitle(QStringLiteral("Параметры печати"));
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) {
            ok->setText(QStringLiteral("OK"));
        }
    }
    dialog.exec();
}

void TFramePrinting::print(const TAxoliteMDIChild* child, bool preview) {
    if (child == nullptr) {
        return;
    }
    const DescriptionPrintout printout(child->displayName(), child->editor()->rawText());
    if (preview && !showPrintPreview(printout, printer(), frame_)) {
        return;
    }
    QPrintDialog dialog(&printer(), frame_);
    if (dialog.exec() == QDialog::Accepted) {
        printWithAbortDialog(printout, printer(), frame_);
    }
}
