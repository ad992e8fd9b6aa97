// The graphs view: the output activity and reference series of a simulated description plotted
// against the step, up to twelve curves, with a slider over the steps, a grid, a height and a
// point spacing; a right click marks a step for the numeric view, hovering names the values.
#pragma once

#include "app/views/view_binding.h"
#include "render/graphs_painter.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QRadioButton;
class QSlider;

class TAxoliteGraphs : public QDialog {
    Q_OBJECT
public:
    // Set up for the description window: when it is simulated the slider covers 0 .. trunc(D)
    // and the box of every present series is ticked and enabled, the others disabled; these stay
    // as they are while the view is open. The view deletes itself when closed.
    explicit TAxoliteGraphs(DescriptionWindow* window, QWidget* parent = nullptr);

    DescriptionWindow* descriptionWindow() const { return binding_.window(); }
    // R, the common vertical range of the curves: only grows while the view is open.
    double displayRange() const { return settings_.displayRange.value(); }
    const axolite::render::GraphsSettings& settings() const { return settings_; }

    // The text hovering over client point (x, y) shows: the step of that column, its x and the
    // values of the curves shown there; empty off the curves or beyond the data.
    QString hoverText(int x, int y) const;

    // The dotted cursor line at a step of the run, the plot scrolled to show it (a debugger of
    // the description moves it); nothing for a step outside the run.
    void showStep(std::int64_t step);

    // Writes the plot as it is on the screen (without the cursor line) to the file.
    void exportPicture(axolite::views_gui::PictureFormat format);

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Escape closes the view as "Закрыть" does.
    void reject() override { close(); }

private:
    void buildControls();
    // Stores what the controls say, drops the cursor line and repaints the plot.
    void controlsChanged();
    void updatePageStep();
    // The check boxes follow the presence flags (within what set-up enabled).
    void followPresence();
    void markCursor(int x, int y);
    // The step a pixel column stands for, or nothing off the curves.
    std::optional<std::int64_t> stepAtColumn(int x) const;

    axolite::views_gui::ViewBinding binding_;
    axolite::render::GraphsPainter painter_;
    axolite::render::GraphsSettings settings_;
    std::int64_t markedStep_ = 0; // the step a right click marked last ("Объяснить значение ...")
    QCheckBox* grid_ = nullptr;
    QComboBox* gridSize_ = nullptr;
    QComboBox* height_ = nullptr;
    QComboBox* spacing_ = nullptr;
    QRadioButton* compress_ = nullptr;
    QRadioButton* stretch_ = nullptr;
    QSlider* slider_ = nullptr;
    // [family][k], family as in language::SeriesFamily.
    std::array<std::array<QCheckBox*, 4>, 3> curves_{};
    std::array<std::array<bool, 4>, 3> presentAtSetUp_{};
};
