// The input-layer activation dialog: a function of time per input neuron, evaluated on the grid
// into the external input history that the next simulation adds to the inputs, and its pattern
// file.
#pragma once

#include "app/reference/reference_dialog.h"

#include <vector>

class QTabBar;
class TFormulaEdit;

class TInputActivation : public TReferenceDialog {
    Q_OBJECT
public:
    // record: the description's record after a check that prepared the simulation (the external
    // input history exists); it must outlive the dialog. One tab per used input-layer entry.
    TInputActivation(axolite::language::NetworkRecord& record,
                     const axolite::platform::FolderSettings* folders,
                     const QString& descriptionPath, QWidget* parent = nullptr);

    // The function of every input-layer entry (the field's text counts for the selected tab).
    std::vector<std::string> functions() const;

public slots:
    void calculate() override;
    void writePatternFile() override;

protected:
    QStringList currentValues() const override;
    void restoreValues(const QStringList& values) override;
    void closeRecord() override {}
    QString initialText() const override { return QStringLiteral("0"); }
    void computationCompleted() override;

private:
    void changeTab(int index);
    void storeField();
    // The list entry of a tab, −1 when there is none.
    int entryOfTab(int tab) const;

    QTabBar* tabs_ = nullptr;
    TFormulaEdit* field_ = nullptr;
    // One function per entry of the input-layer list, "0" at opening.
    QStringList functions_;
    // The list entry of each tab (entries with neuron number 0 have none).
    std::vector<int> tabEntries_;
    int currentTab_ = 0;
    // Typing re-enables "Посчитать ..." until a computation has completed.
    bool watchEdits_ = true;
};
