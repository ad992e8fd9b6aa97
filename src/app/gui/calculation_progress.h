// The progress dialog of every long computation: what is computed, a percentage bar, the
// computing time, the operation counters, "Прервать" and "Закрыть". It is also the computation's
// Progress: the engine reports its percentage to it and lets it process pending events.
#pragma once

#include "core/common/progress.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <array>

class QLabel;
class QProgressBar;
class QPushButton;

namespace axolite::language {
struct NetworkRecord;
}

class TCalculationProgress : public QDialog, public axolite::Progress {
    Q_OBJECT
public:
    // The computation names itself ("Моделирование работы нейронной сети...", ...). The record
    // is that of the active description window, or nullptr when none is active: then the
    // counters are not shown and the record's cancel flag is not touched. The dialog lowers the
    // record's cancel-requested flag at once and shows itself when the computation first reports;
    // it never deletes itself while the computation may still call it.
    TCalculationProgress(axolite::language::NetworkRecord* record, const QString& text,
                         QWidget* parent = nullptr);

    // Progress
    void setPercent(int percent) override;
    void poll() override;
    bool cancelRequested() const override { return interrupted_; }

    // The end of the computation, normal or interrupted: "Прервать" off, "Закрыть" on, the time
    // stops and the figures keep their last values. A finished dialog that the user closes
    // deletes itself.
    void finish();

    // For computations that count no operations: the three statistics lines are disabled.
    void disableStatistics();

    void setText(const QString& text);
    int percent() const { return percent_; }
    bool isFinished() const { return finished_; }
    bool wasInterrupted() const { return interrupted_; }
    double elapsedSeconds() const;

    // Rewrites the computing time and the counters (what the refresh timer does).
    void refreshFigures();

    // Pending events are processed at most this often inside poll().
    static constexpr qint64 kEventIntervalMs = 15;
    // The clock is read about this often inside poll(), and after at most this many units.
    static constexpr qint64 kClockIntervalNs = 1000000;
    static constexpr int kMaxUnitsPerClock = 1 << 16;

signals:
    // "Прервать" was pressed (the dialog is already closed).
    void interruptRequested();

public slots:
    void interrupt();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void showOnFirstReport();

    axolite::language::NetworkRecord* record_ = nullptr;
    QLabel* text_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* time_ = nullptr;
    std::array<QLabel*, 3> counterLabels_{};
    std::array<QLabel*, 3> counterValues_{};
    QPushButton* interruptButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QTimer refresh_;
    QElapsedTimer clock_;
    qint64 lastEvents_ = 0;
    qint64 lastClockNs_ = 0;
    int unitsSinceClock_ = 0;
    int unitsPerClock_ = 1;
    qint64 stoppedAtMs_ = -1;
    int percent_ = 0;
    bool interrupted_ = false;
    bool finished_ = false;
    bool reported_ = false;
};
