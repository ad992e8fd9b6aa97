// Printing of the active description: the printer of the run (created on first use; PDF output is
// always available), its set-up, the preview and the print with its abort dialog.
#pragma once

#include <memory>

class QPrinter;
class QWidget;
class TAxoliteMDIChild;

class TFramePrinting {
public:
    explicit TFramePrinting(QWidget* frame);
    ~TFramePrinting();

    QPrinter& printer();
    // "Параметры печати ...": the platform's print dialog; the choice is kept for the next print.
    void setUp();
    // "Печать ..." (preview false) and "Предварительный просмотр ..." of a description.
    void print(const TAxoliteMDIChild* child, bool preview);

private:
    QWidget* frame_;
    std::unique_ptr<QPrinter> printer_;
};
