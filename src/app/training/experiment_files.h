// "Сохранить эксперимент ..." and "Открыть эксперимент ..." of the training dialog: the record of
// the last run written through the safe writer, and a record opened back into the three pages
// and the results, so that "Обучить" then continues from its final network.
#pragma once

#include "app/training/training_state.h"

#include <QObject>
#include <QString>

class QPushButton;
class QWidget;

namespace axolite::gui {
class ToolHost;
}

namespace axolite::training {
class RecordError;
}

namespace axolite::training_ui {

class NetworkFormPage;
class TrainingPage;

class ExperimentFiles : public QObject {
    Q_OBJECT
public:
    // host may be nullptr: the file dialogs then start in the default folder.
    ExperimentFiles(TrainingState& state, NetworkFormPage& form, TrainingPage& page,
                    gui::ToolHost* host, QWidget* dialog);

    QPushButton* saveButton() const { return save_; }
    QPushButton* openButton() const { return open_; }

    // The record of the last run (or the opened record) written to path; false after the
    // message when it could not be written.
    bool save(const QString& path);
    // The record at path shown in the dialog; false after the message when it cannot be read
    // (nothing of the dialog changes then).
    bool open(const QString& path);

private:
    void chooseSave();
    void chooseOpen();
    void enableSave();

    TrainingState& state_;
    NetworkFormPage& form_;
    TrainingPage& page_;
    gui::ToolHost* host_ = nullptr;
    QWidget* dialog_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* open_ = nullptr;
};

// Why a record cannot be opened, in the dialog's words, naming the file.
QString recordRefusalText(const training::RecordError& failure);

} // namespace axolite::training_ui
