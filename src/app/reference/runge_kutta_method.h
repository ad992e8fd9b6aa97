// The Runge-Kutta dialog: the 4 × 5 coefficients of a normal system of four linear differential
// equations and its initial values, solved on the grid of the description into the Runge-Kutta
// reference series, and their pattern file.
#pragma once

#include "reference/reference_dialog.h"
#include "reference/runge_kutta.h"

#include <array>

class QLineEdit;

class TRungeKuttaMethod : public TReferenceDialog {
    Q_OBJECT
public:
    // record: the description's record, which must outlive the dialog. Opening lowers the
    // Runge-Kutta presence flags and disables the rows, columns and initial values of outputs the
    // network lacks. descriptionPath keys the remembered values.
    TRungeKuttaMethod(axolite::language::NetworkRecord& record,
                      const axolite::platform::FolderSettings* folders,
                      const QString& descriptionPath, QWidget* parent = nullptr);

    // The 25 texts of the system in the order of the exchange buffer: the coefficients row by
    // row (a, b, c, d, e), x0, y1(x0)..y4(x0).
    std::array<std::string, axolite::reference::kSystemTextCount> systemTexts() const;

public slots:
    void calculate() override;
    void writePatternFile() override;

protected:
    QStringList currentValues() const override;
    void restoreValues(const QStringList& values) override;
    void closeRecord() override;
    // Enter closes the dialog, as "Закрыть" does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The 20 coefficient fields row by row, then y1(x0)..y4(x0).
    std::array<QLineEdit*, 24> values_{};
    QLineEdit* x0_ = nullptr;
};
