// The dynamics view: the output neurons as columns in a box seen in perspective, the initial or
// final values as a still picture, and a replay of the simulation frame by frame with a progress
// bar, driven by a timer so that the window stays usable and "Прервать" acts at the next frame.
#pragma once

#include "app/views/view_binding.h"
#include "core/views/dynamics_geometry.h"
#include "render/dynamics_painter.h"

#include <QDialog>
#include <QImage>
#include <QProgressBar>
#include <QTimer>

#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QMenu;
class QPushButton;
class QRadioButton;

// A progress bar drawn as separate blue segments, a gap of 2 pixels apart, 90 % of its height
// thick.
class TSegmentedProgressBar : public QProgressBar {
    Q_OBJECT
public:
    using QProgressBar::QProgressBar;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TNetworkDynamic : public QDialog {
    Q_OBJECT
public:
    // Set up for the description window. The view deletes itself when closed.
    explicit TNetworkDynamic(DescriptionWindow* window, QWidget* parent = nullptr);

    DescriptionWindow* descriptionWindow() const { return binding_.window(); }
    const axolite::render::DynamicsSettings& settings() const { return settings_; }
    bool running() const { return running_; }
    QMenu* popupMenu() const { return menu_; }
    // The field as it stands (the still picture, or the last frame of a replay).
    const QImage& field() const { return field_; }

    // Writes the still picture (initial or final values, as chosen) to a file.
    void exportPicture(axolite::views_gui::PictureFormat format);

public slots:
    // "Запустить": replays the simulation from the initial values, one frame per timer tick.
    void run();
    // "Прервать": the replay stops before its next frame, without the beep.
    void abort();

signals:
    void closed();
    // The replay ended: completed (the system's beep sounded) or aborted.
    void replayEnded(bool completed);
    void beeped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Escape closes the view as the close box does.
    void reject() override { close(); }

private:
    void buildControls();
    void buildMenu();
    // The still picture is drawn again at the next paint, and the progress bar goes to 0.
    void requestStill();
    // The field's image at the screen's pixel ratio; true when it had to be made anew.
    bool ensureField();
    void nextFrame();
    void finishReplay(bool completed);
    // The controls that would change a replay's settings, on or off.
    void setIdle(bool idle);

    axolite::views_gui::ViewBinding binding_;
    axolite::render::DynamicsSettings settings_;
    QImage field_;
    bool stillDirty_ = true;

    QCheckBox* grid_ = nullptr;
    QRadioButton* faster_ = nullptr;
    QRadioButton* slower_ = nullptr;
    QComboBox* speed_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* abort_ = nullptr;
    QPushButton* close_ = nullptr;
    TSegmentedProgressBar* progress_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* marking_ = nullptr;
    QAction* initial_ = nullptr;
    QAction* final_ = nullptr;
    QAction* debugStep_ = nullptr;
    QAction* savePng_ = nullptr;
    QAction* saveSvg_ = nullptr;

    bool running_ = false;
    bool abortRequested_ = false;
    QTimer frames_;
    std::optional<axolite::views::ReplaySchedule> schedule_;
    axolite::views::VerticalScale scale_;
    std::int32_t frame_ = 0;
};
