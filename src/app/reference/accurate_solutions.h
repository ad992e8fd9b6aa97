// The analytic-dependencies dialog: up to four formulas y1(x)..y4(x) evaluated on the grid of the
// description into the exact reference series, and their pattern file.
#pragma once

#include "app/reference/reference_dialog.h"

#include <array>

class TFormulaEdit;

class TAccurateSolutions : public TReferenceDialog {
    Q_OBJECT
public:
    // record: the description's record, which must outlive the dialog. Opening lowers the exact
    // presence flags and disables the formulas of outputs the network lacks. descriptionPath
    // keys the remembered formulas (none for a description without a file).
    TAccurateSolutions(axolite::language::NetworkRecord& record,
                       const axolite::platform::FolderSettings* folders,
                       const QString& descriptionPath, QWidget* parent = nullptr);

    TFormulaEdit* formulaField(int k) const { return formulas_[k]; }

public slots:
    void calculate() override;
    void writePatternFile() override;

protected:
    QStringList currentValues() const override;
    void restoreValues(const QStringList& values) override;
    void closeRecord() override;

private:
    std::array<TFormulaEdit*, axolite::language::kOutputCount> formulas_{};
};
