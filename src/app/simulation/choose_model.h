// The model dialog "Описание модели нейроноподобного элемента": one tab per kind of transfer
// function, the parameter fields, the picture of the function, and reading and writing model
// files (<code>.neu).
#pragma once

#include "core/simulation/neuron_model.h"

#include <QDialog>
#include <QString>

#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QVBoxLayout;

namespace axolite::platform {
struct FolderSettings;
}

class TChooseModel : public QDialog {
    Q_OBJECT
public:
    // Field order of the per-kind slots: code, Y1, X1, Xt (the keys ID, Y1, X1, Xt).
    enum Field : int { Code = 0, Y1 = 1, X1 = 2, Xt = 3 };

    // folders may be nullptr (no folders set): the file dialogs then start in the platform's
    // default folder.
    explicit TChooseModel(const axolite::platform::FolderSettings* folders = nullptr,
                          QWidget* parent = nullptr);

    axolite::simulation::ModelKind currentKind() const { return current_; }
    // The text kept for a field of a kind (what the tab shows when it is selected again).
    QString slotText(axolite::simulation::ModelKind kind, Field field) const;

    // What "Помощь" does instead of opening the help on its contents (tests).
    void setHelpHandler(std::function<void()> handler) { help_ = std::move(handler); }

public slots:
    void selectKind(axolite::simulation::ModelKind kind);
    void loadFromFile();
    void saveToFile();

protected:
    // The platform's file dialogs; tests replace them. An empty text means the user cancelled.
    virtual QString chooseOpenPath(const QString& initialFolder);
    virtual QString chooseSavePath(const QString& initialFolder, const QString& proposedName);

    // The folder the file dialogs start in: the models folder once the folders have been set.
    QString initialFolder() const;

private:
    void createFields();
    QGroupBox* buildParameters();
    QVBoxLayout* buildButtons();
    void changeTab(int index);
    void storeFields(axolite::simulation::ModelKind kind);
    void loadFields(axolite::simulation::ModelKind kind);
    void showKind(axolite::simulation::ModelKind kind);
    void showPicture(axolite::simulation::ModelKind kind);
    void setShiftLabel(axolite::simulation::ModelKind kind);
    void markModified();

    const axolite::platform::FolderSettings* folders_ = nullptr;
    QTabBar* tabs_ = nullptr;
    std::array<QLineEdit*, 4> edits_{};
    QLabel* shiftLabel_ = nullptr;
    std::array<QWidget*, 4> pictures_{};
    QPushButton* fromFile_ = nullptr;
    QPushButton* toFile_ = nullptr;
    std::array<std::array<QString, 4>, 4> slots_{};
    axolite::simulation::ModelKind current_ = axolite::simulation::ModelKind::Linear;
    std::function<void()> help_;
};
