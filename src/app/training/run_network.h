// The dialog "Исследование работы нейронной сети ": an input pattern typed by hand, put on the
// trained network, and the network's response; the trained network is never changed.
#pragma once

#include "core/training/layered_network.h"

#include <QDialog>

#include <array>
#include <functional>
#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TRunNetwork : public QDialog {
    Q_OBJECT
public:
    // Identifiers: the fields x1 … x18 are 401 … 418, their labels 421 … 438.
    enum Control : int {
        IdWork = 1,
        IdClose = 2,
        IdHelp = 9,
        IdField = 401,
        IdFieldLabel = 421,
        IdResponse = 440,
    };
    static constexpr int kHelpTopic = 4203;

    // inputs: the number of input neurons of the network (0 while no run has built one).
    TRunNetwork(const axolite::training::LayeredNetwork& network, int inputs,
                QWidget* parent = nullptr);

    void setHelpHandler(std::function<void(int)> handler) { help_ = std::move(handler); }
    // The investigations of this dialog as CSV, and written to a file.
    QString investigationsCsv() const;
    bool saveInvestigationsCsv(const QString& path);

public slots:
    // "Работа": the response to x1 … xN.
    void work();

private:
    void chooseCsv();

    const axolite::training::LayeredNetwork& network_;
    int inputs_;
    std::array<QLineEdit*, 18> fields_{};
    QPlainTextEdit* response_ = nullptr;
    QPushButton* workButton_ = nullptr;
    std::vector<std::pair<std::vector<float>, std::vector<float>>> investigations_;
    std::function<void(int)> help_;
};
