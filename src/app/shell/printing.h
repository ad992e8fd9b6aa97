// Printing and print preview of a description's text. Pages are laid out by us so that the
// abort dialog "Печать нейронной сети" can show the page being printed and stop the job.
#pragma once

#include <QFont>
#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace axolite::shell {

enum class PrintOutcome { Printed, Cancelled, Failed };

// The text of one description laid out on the printer's pages.
class DescriptionPrintout {
public:
    DescriptionPrintout(QString title, QString text);

    // Paints every page on the printer. onPage(page, pageCount) is called before each page and
    // may answer false to stop (the job is then aborted).
    PrintOutcome print(QPrinter& printer, const std::function<bool(int, int)>& onPage = {}) const;

    const QString& title() const { return title_; }
    static QFont printFont();

private:
    QString title_;
    QString text_;
};

// The preview's caption: "Page %d" for one page, "Page %d - %d" for two.
QString previewCaption(int firstPage, int lastPage);

// The failure message "'%s' не напечатан %s." with the document and the reason.
QString printFailureText(const QString& title, const QString& reason);

// Prints with the abort dialog, reports a failure ("Ошибка печати") or a cancellation
// ("Печать отменена"). Answers the outcome.
PrintOutcome printWithAbortDialog(const DescriptionPrintout& printout, QPrinter& printer,
                                  QWidget* parent);

// The preview window with previous/next page, one or two pages, print and close. Its print
// button closes it and answers true: the caller then prints as "Печать ..." does (the print
// dialog, the abort dialog and their messages).
bool showPrintPreview(const DescriptionPrintout& printout, QPrinter& printer, QWidget* parent);

} // namespace axolite::shell
