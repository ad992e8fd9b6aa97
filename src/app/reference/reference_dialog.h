// What the three reference dialogs share: their buttons ("Сформировать файл образов ...",
// "Посчитать ...", "Восстановить прежние значения", "Закрыть", "Помощь"), a computation run with
// the progress dialog under a computation guard, the pattern file written through a temporary
// file, closing during a run, and the values remembered per description file for the run.
#pragma once

#include "app/gui/calculation_progress.h"
#include "core/common/progress.h"
#include "core/language/network_record.h"
#include "core/reference/computation.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

class QBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace axolite::platform {
struct FolderSettings;
}

class TReferenceDialog : public QDialog {
    Q_OBJECT
public:
    ~TReferenceDialog() override;

    bool running() const { return running_; }
    // The progress dialog of the last computation while it exists.
    TCalculationProgress* progressDialog() const { return progress_; }
    // The text of the status window while the last pattern file was written.
    const QString& lastStatusText() const { return lastStatusText_; }
    // Where reading problems of a formula are told while the user types (the frame's status bar).
    void setStatusLine(std::function<void(const QString&)> statusLine) {
        statusLine_ = std::move(statusLine);
    }

    // The values the dialog last remembered for a description file in this run (empty: none).
    static QStringList rememberedValues(const QString& tool, const QString& descriptionPath);
    // Forgets every remembered value (tests).
    static void forgetRememberedValues();

public slots:
    // "Посчитать ...": the dialog's computation with the progress dialog.
    virtual void calculate() = 0;
    // "Сформировать файл образов ...".
    virtual void writePatternFile() = 0;

signals:
    // A computation changed the record (series, flags, statistics, counters), or closing did.
    void recordChanged();

protected:
    enum class RunEnd { Completed, Cancelled, Failed };

    // tool names the values remembered ("exact", "rk", "inputs"); descriptionPath keys them (no
    // memory for a description without a file); helpTopic is the page "Помощь" opens.
    TReferenceDialog(axolite::language::NetworkRecord& record,
                     const axolite::platform::FolderSettings* folders, QString tool,
                     QString descriptionPath, int helpTopic, QWidget* parent);

    const axolite::platform::FolderSettings* folders() const { return folders_; }
    const QString& descriptionPath() const { return descriptionPath_; }

    // The buttons in the order of the dialogs; the caller places the layout.
    QBoxLayout* makeButtons(Qt::Orientation orientation);

    // The grid of the description, disabled and read-only: x0 (t0), the step (h) and the limit
    // (t1 − t0), each shown with "%-9g" in a field of 9 characters. ids: label and field of each.
    struct GridField {
        QLabel* label;
        QLineEdit* field;
    };
    std::array<GridField, 3> makeGridFields(const std::array<const char*, 6>& ids,
                                            const std::array<QString, 3>& labels);

    // Runs a computation with its progress dialog: disabled statistics for one that counts
    // nothing, the guard on the record, the beep and the button states of a completed and of an
    // interrupted run, the message of a refused one (the buttons then stay as they were).
    RunEnd runComputation(
        const char* title, bool countsNothing,
        const std::function<axolite::reference::ComputationOutcome(axolite::Progress&)>& compute);

    // "Сформировать файл образов ...": the save-file dialog, the status window with the
    // writer's text, the values written with "%g " through a temporary file and a rename. A
    // file that cannot be written leaves whatever stood under the name and shows
    // "Невозможно создать файл " + path.
    void writePatterns(const char* statusText,
                       std::vector<double> (*values)(const axolite::language::NetworkRecord&));

    // The texts the dialog remembers, and putting remembered texts back into the fields.
    virtual QStringList currentValues() const = 0;
    virtual void restoreValues(const QStringList& values) = 0;
    // What closing does to the record (the dialog is not running).
    virtual void closeRecord() = 0;
    // After a completed computation, in addition to the button states (input activation stops
    // re-enabling "Посчитать ...").
    virtual void computationCompleted() {}

    // What every field holds at opening ("0.0", or "0" for the activation functions).
    virtual QString initialText() const { return QStringLiteral("0.0"); }
    // Remembers the texts for the description file: at a computation always, at closing only
    // when some field differs from what opening put in.
    void rememberValues(bool evenIfUntouched);
    void showReading(const QString& problem);

    void closeEvent(QCloseEvent* event) override;
    void reject() override;

    axolite::language::NetworkRecord& record_;
    QPushButton* calculate_ = nullptr;
    QPushButton* patterns_ = nullptr;
    QPushButton* restore_ = nullptr;

private:
    // A close request during a computation: the computation is asked to stop, and the dialog
    // closes when it has ended.
    void stopThenClose();

    const axolite::platform::FolderSettings* folders_ = nullptr;
    QString tool_;
    QString descriptionPath_;
    int helpTopic_ = 0;
    QPointer<TCalculationProgress> progress_;
    std::function<void(const QString&)> statusLine_;
    QString lastStatusText_;
    bool running_ = false;
    bool closeWhenIdle_ = false;
};
