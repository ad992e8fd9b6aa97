// The Runge-Kutta dialog: the 4 × 5 coefficients of a normal system of four linear differential
// equations and its initial values, solved on the grid of the description into the Runge-Kutta
// reference series, and their pattern file.
#pragma once

#include "app/reference/reference_dialog.h"
#include "core/reference/euler_network.h"
#include "core/reference/runge_kutta.h"

#include <QString>

#include <array>
#include <functional>

class DescriptionWindow;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QValidator;
class TOpenedNote;

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

    // What opens a written description in a new window (the frame's openDescription; nullptr
    // when it could not be opened).
    void setDescriptionOpener(std::function<DescriptionWindow*(const QString&)> opener) {
        openDescription_ = std::move(opener);
    }
    // The system of the fields, absent outputs cleared, its initial values at the description's
    // t0, and the number of equations (up to the last output the network has, at least 1).
    axolite::reference::LinearSystem studiedSystem(int& outputs) const;
    axolite::reference::EulerGrid descriptionGrid() const;

public slots:
    // "Построить сеть ...": asks for a .net file (in the networks folder once the folders are
    // set, beside the description otherwise), writes the Euler network of the system on the
    // description's grid (its model file into the models folder) and opens it.
    void buildNetwork();
    // "Исследование шага ...": the step-size study dialog for the system.
    void openStepStudy();
    void calculate() override;
    void writePatternFile() override;

protected:
    QStringList currentValues() const override;
    void restoreValues(const QStringList& values) override;
    void closeRecord() override;
    // Enter closes the dialog, as "Закрыть" does.
    void keyPressEvent(QKeyEvent* event) override;
    // Remembers the texts the solution was computed from, for the note on the pattern file.
    void computationCompleted() override;

private:
    QGroupBox* buildCoefficients();
    QHBoxLayout* buildLower();
    QLineEdit* makeField(const char* id, QWidget* parent) const;
    // The description has output k (0 … 3); an absent one takes its row, its column and its
    // initial value away.
    bool outputPresent(int k) const;

    // Shows the note on the pattern file while the fields differ from the texts of the computed
    // solution: the file holds that solution, and "Посчитать ..." comes back only with a new
    // opening of the dialog.
    void updateSolutionNote();

    // The 20 coefficient fields row by row, then y1(x0)..y4(x0).
    std::array<QLineEdit*, 24> values_{};
    QLineEdit* x0_ = nullptr;
    QValidator* numberChars_ = nullptr; // the characters of a number: "+-.0123456789"
    std::function<DescriptionWindow*(const QString&)> openDescription_;
    TOpenedNote* openedNote_ = nullptr;
    QLabel* solutionNote_ = nullptr;
    // The texts of the last completed computation (empty before one).
    QStringList computedValues_;
};
