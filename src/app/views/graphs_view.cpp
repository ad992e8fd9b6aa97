// The graphs view.
#include "app/views/graphs_view.h"

#include "app/views/explain_dialog.h"

#include "app/gui/command_ids.h"
#include "app/gui/computation_guard.h"
#include "app/gui/help_window.h"
#include "app/gui/tool_windows.h"
#include "app/views/numeric_view.h"
#include "core/views/plot_geometry.h"
#include "core/views/series.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolTip>

#include <cmath>

using axolite::language::NetworkRecord;
using axolite::language::SeriesFamily;
namespace plot = axolite::views::plot;

namespace {

struct ListItem {
    const char* text;
    int value;
};
constexpr ListItem kGridSizes[] = {
    {" 40 : 40", 40}, {" 30 : 30", 30}, {" 20 : 20", 20}, {" 10 : 10", 10}};
constexpr ListItem kHeights[] = {{" 100 %", 100}, {" 80 %", 80}, {" 60 %", 60}, {" 40 %", 40}};
constexpr ListItem kSpacings[] = {{"  1 ", 1}, {"  4 ", 4}, {"  8 ", 8}, {"  16 ", 16}};

// [family][k] identifiers of the check boxes, family as in SeriesFamily.
constexpr int kCurveIds[3][4] = {
    {15004, 15005, 15006, 15007}, {15000, 15001, 15002, 15003}, {15008, 15009, 15010, 15011}};
constexpr int kGroupIds[3] = {101, 102, 103};
constexpr const char* kGroupTitles[3] = {"Активность нейронов сети", "Метод Рунге-Кутта",
                                         "Точные значения"};
// The names of the families in the hover text, as the colour legend names them.
constexpr const char* kHoverNames[3] = {"Сети", "Рунге-Кутта", "Точных"};

template <typename T> T* named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

template <std::size_t n> QComboBox* makeList(QWidget* parent, int id, const ListItem (&items)[n]) {
    auto* list = named(new QComboBox(parent), id);
    for (const ListItem& item : items) {
        list->addItem(QString::fromUtf8(item.text), item.value);
    }
    list->setCurrentIndex(0);
    return list;
}

} // namespace

TAxoliteGraphs::TAxoliteGraphs(DescriptionWindow* window, QWidget* parent)
    : QDialog(parent), binding_(window) {
    setAttribute(Qt::WA_DeleteOnClose, true);
    setModal(false);
    setWindowTitle(axolite::views_gui::viewCaption(axolite::views_gui::kGraphsCaption, window));
    setFixedSize(613, 312);
    setMouseTracking(true);
    buildControls();

    const NetworkRecord* record = binding_.simulatedRecord();
    const int last =
        record != nullptr ? axolite::views::lastFirstStep(axolite::views::gridExtent(*record)) : 0;
    slider_->setRange(0, last);
    // A tick per step; where steps lie closer than two pixels apart, as close as they can be
    // told apart.
    slider_->setTickInterval(std::max(1, static_cast<int>(std::ceil(last / 300.0))));
    slider_->setValue(0);
    for (int f = 0; f < 3; ++f) {
        for (int k = 0; k < 4; ++k) {
            const bool present =
                record != nullptr && axolite::views::seriesPresent(*record, SeriesFamily(f), k);
            curves_[f][k]->setChecked(present);
            curves_[f][k]->setEnabled(present);
            presentAtSetUp_[f][k] = present;
        }
    }
    compress_->setChecked(true);
    settings_ = {};
    controlsChanged();
    updatePageStep();

    connect(slider_, &QSlider::valueChanged, this, &TAxoliteGraphs::controlsChanged);
    connect(grid_, &QCheckBox::toggled, this, &TAxoliteGraphs::controlsChanged);
    // The grid spacing is 36 pixels until a size is chosen from the list, although the list
    // shows " 40 : 40" (32 pixels) from the start.
    connect(gridSize_, &QComboBox::currentIndexChanged, this, [this] {
        settings_.gridSpacing = axolite::views::gridSpacingForSize(gridSize_->currentData().toInt())
                                    .value_or(plot::kDefaultGridSpacing);
        controlsChanged();
    });
    for (QComboBox* list : {height_, spacing_}) {
        connect(list, &QComboBox::currentIndexChanged, this, &TAxoliteGraphs::controlsChanged);
    }
    connect(spacing_, &QComboBox::currentIndexChanged, this, &TAxoliteGraphs::updatePageStep);
    connect(compress_, &QRadioButton::toggled, this, &TAxoliteGraphs::controlsChanged);
    connect(compress_, &QRadioButton::toggled, this, &TAxoliteGraphs::updatePageStep);
    for (auto& family : curves_) {
        for (QCheckBox* box : family) {
            connect(box, &QCheckBox::toggled, this, &TAxoliteGraphs::controlsChanged);
        }
    }
    binding_.connectRefresh(this, [this] {
        settings_.cursorColumn.reset();
        followPresence();
        update(axolite::render::GraphsPainter::plotRect());
    });
    if (window != nullptr) {
        connect(window, &DescriptionWindow::stepCursorMoved, this, &TAxoliteGraphs::showStep);
        if (window->stepCursor()) {
            showStep(*window->stepCursor());
        }
    }
}

void TAxoliteGraphs::showStep(std::int64_t step) {
    const NetworkRecord* record = binding_.simulatedRecord();
    if (record == nullptr || step < 0 || step >= axolite::views::gridPointCount(*record)) {
        return;
    }
    const std::int64_t k = std::max(1, settings_.pointSpacing);
    const bool compress = settings_.mode == axolite::views::PlotMode::Compress;
    const std::int64_t shown =
        compress ? plot::kColumns * k : std::max<std::int64_t>(1, plot::kColumns / k);
    if (step < settings_.firstStep || step >= settings_.firstStep + shown) {
        // The plot scrolls so that the step stands in its middle (the slider redraws it).
        slider_->setValue(
            static_cast<int>(std::clamp<std::int64_t>(step - shown / 2, 0, slider_->maximum())));
    }
    const std::int64_t offset = step - settings_.firstStep;
    if (offset < 0 || offset >= shown) {
        return;
    }
    settings_.cursorColumn =
        plot::kFirstColumn + static_cast<int>(compress ? offset / k : offset * k);
    update(axolite::render::GraphsPainter::plotRect());
}

void TAxoliteGraphs::buildControls() {
    grid_ = named(new QCheckBox(QStringLiteral("Наложить сетку"), this), 15037);
    grid_->setGeometry(8, 2, 130, 20);
    auto* gridLabel = new QLabel(QStringLiteral("Размер сетки :"), this);
    gridLabel->setGeometry(146, 4, 96, 18);
    gridSize_ = makeList(this, 15038, kGridSizes);
    gridSize_->setGeometry(244, 1, 88, 22);
    auto* heightLabel = new QLabel(QStringLiteral("Высота :"), this);
    heightLabel->setGeometry(146, 25, 96, 18);
    height_ = makeList(this, 15039, kHeights);
    height_->setGeometry(244, 23, 88, 22);
    compress_ = named(new QRadioButton(QStringLiteral("Сжать графики"), this), 15041);
    compress_->setGeometry(346, 2, 170, 20);
    stretch_ = named(new QRadioButton(QStringLiteral("Растянуть графики"), this), 15042);
    stretch_->setGeometry(346, 24, 170, 20);
    spacing_ = makeList(this, 15040, kSpacings);
    spacing_->setGeometry(524, 12, 84, 22);

    slider_ = named(new QSlider(Qt::Horizontal, this), 15036);
    slider_->setGeometry(4, 195, 605, 20);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setSingleStep(1);

    for (int f = 0; f < 3; ++f) {
        auto* group = named(new QGroupBox(QString::fromUtf8(kGroupTitles[f]), this), kGroupIds[f]);
        group->setGeometry(4 + 203 * f, 220, 199, 50);
        for (int k = 0; k < 4; ++k) {
            curves_[f][k] =
                named(new QCheckBox(QStringLiteral(" y%1").arg(k + 1), group), kCurveIds[f][k]);
            curves_[f][k]->setGeometry(8 + 47 * k, 22, 46, 20);
        }
    }

    auto* closeButton = named(new QPushButton(QStringLiteral("Закрыть"), this), 2);
    closeButton->setGeometry(432, 278, 86, 28);
    closeButton->setDefault(true);
    auto* helpButton = named(new QPushButton(QStringLiteral("Помощь"), this), 9);
    helpButton->setGeometry(523, 278, 86, 28);
    helpButton->setAutoDefault(false);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(helpButton, &QPushButton::clicked, this, [] { openHelp(axolite::gui::CmGraphs); });
}

void TAxoliteGraphs::controlsChanged() {
    settings_.firstStep = slider_->value();
    settings_.gridShown = grid_->isChecked();
    gridSize_->setEnabled(settings_.gridShown);
    settings_.heightFactor = axolite::views::heightFactorForPercent(height_->currentData().toInt())
                                 .value_or(plot::kDefaultHeightFactor);
    settings_.pointSpacing = spacing_->currentData().toInt();
    settings_.mode = stretch_->isChecked() ? axolite::views::PlotMode::Stretch
                                           : axolite::views::PlotMode::Compress;
    for (int f = 0; f < 3; ++f) {
        for (int k = 0; k < 4; ++k) {
            settings_.curveShown[f][k] = curves_[f][k]->isChecked();
        }
    }
    settings_.cursorColumn.reset();
    update(axolite::render::GraphsPainter::plotRect());
}

void TAxoliteGraphs::followPresence() {
    // The check box of a series no longer present is disabled (its curve is not drawn); it
    // comes back when the series is computed again, never beyond what set-up enabled.
    const NetworkRecord* record = binding_.simulatedRecord();
    if (record == nullptr) {
        return; // nothing readable: the controls stay as they are
    }
    for (int f = 0; f < 3; ++f) {
        for (int k = 0; k < 4; ++k) {
            curves_[f][k]->setEnabled(presentAtSetUp_[f][k] &&
                                      axolite::views::seriesPresent(*record, SeriesFamily(f), k));
        }
    }
}

void TAxoliteGraphs::updatePageStep() {
    // A page is what the plot shows at once.
    const int k = std::max(1, spacing_->currentData().toInt());
    slider_->setPageStep(stretch_->isChecked() ? std::max(1, plot::kColumns / k)
                                               : plot::kColumns * k);
}

void TAxoliteGraphs::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter_.paint(painter, binding_.simulatedRecord(), settings_);
}

void TAxoliteGraphs::markCursor(int x, int y) {
    const NetworkRecord* record = binding_.simulatedRecord();
    const auto mark = axolite::views::markCursor(
        x, y, settings_.pointSpacing, record != nullptr,
        record != nullptr ? axolite::views::gridExtent(*record) : 0.0, settings_.firstStep);
    if (!mark) {
        return;
    }
    markedStep_ = mark->step;
    if (mark->lineColumn) {
        settings_.cursorColumn = mark->lineColumn;
        update(axolite::render::GraphsPainter::plotRect());
    }
    if (DescriptionWindow* window = binding_.window()) {
        if (auto* numeric = qobject_cast<TAxoliteNumeric*>(
                axolite::gui::ToolWindows::instance().find(axolite::gui::CmNumeric, window))) {
            numeric->setCurrentStep(mark->step);
        }
    }
}

void TAxoliteGraphs::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        const QPoint at = event->position().toPoint();
        markCursor(at.x(), at.y());
    }
    QDialog::mousePressEvent(event);
}

std::optional<std::int64_t> TAxoliteGraphs::stepAtColumn(int x) const {
    const int column = x - plot::kFirstColumn;
    if (column < 0 || column >= plot::kColumns) {
        return std::nullopt;
    }
    const std::int64_t k = std::max(1, settings_.pointSpacing);
    return settings_.firstStep +
           (settings_.mode == axolite::views::PlotMode::Compress ? column * k : column / k);
}

QString TAxoliteGraphs::hoverText(int x, int y) const {
    const NetworkRecord* record = binding_.simulatedRecord();
    const auto step = stepAtColumn(x);
    if (record == nullptr || !step || y < plot::kTop || y >= plot::kBottom ||
        *step >= axolite::views::gridPointCount(*record)) {
        return {};
    }
    const auto j = static_cast<std::int32_t>(*step);
    QString text =
        QStringLiteral("x(%1) = ").arg(j) +
        axolite::views_gui::cFormat("%E", record->t0 + static_cast<double>(j) * record->h);
    for (int f = 0; f < 3; ++f) {
        for (int k = 0; k < 4; ++k) {
            if (!settings_.curveShown[f][k]) {
                continue;
            }
            if (const auto value = axolite::views::seriesValue(*record, SeriesFamily(f), k, j)) {
                text += QStringLiteral("\n%1 y%2 = ")
                            .arg(QString::fromUtf8(kHoverNames[f]))
                            .arg(k + 1) +
                        axolite::views_gui::cFormat("%.10E", *value);
            }
        }
    }
    return text;
}

void TAxoliteGraphs::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const QString text = hoverText(at.x(), at.y());
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(event->globalPosition().toPoint(), text, this,
                           axolite::render::GraphsPainter::plotRect());
    }
    QDialog::mouseMoveEvent(event);
}

void TAxoliteGraphs::exportPicture(axolite::views_gui::PictureFormat format) {
    axolite::render::GraphsSettings shown = settings_;
    shown.cursorColumn.reset();
    const NetworkRecord* record = binding_.simulatedRecord();
    axolite::views_gui::exportPicture(
        this, format, axolite::render::GraphsPainter::plotRect(),
        [this, &shown, record](QPainter& painter) { painter_.paint(painter, record, shown); });
}

void TAxoliteGraphs::contextMenuEvent(QContextMenuEvent* event) {
    // A right click on the plot marks a step; the menu comes up elsewhere and from the keyboard.
    if (event->reason() == QContextMenuEvent::Mouse &&
        axolite::render::GraphsPainter::plotRect().contains(event->pos())) {
        return;
    }
    using axolite::views_gui::PictureFormat;
    auto menu = std::make_unique<QMenu>(this);
    // Their file dialog would hold a computation running meanwhile.
    const bool idle = !axolite::gui::ComputationRegister::instance().anyBusy();
    menu->addAction(QStringLiteral("Сохранить рисунок как PNG ..."), this,
                    [this] { exportPicture(PictureFormat::Png); })
        ->setEnabled(idle);
    menu->addAction(QStringLiteral("Сохранить рисунок как SVG ..."), this,
                    [this] { exportPicture(PictureFormat::Svg); })
        ->setEnabled(idle);
    QAction* explain = menu->addAction(QStringLiteral("Объяснить значение ..."), this, [this] {
        axolite::views_gui::explainValue(this, binding_.window(),
                                         static_cast<std::int32_t>(markedStep_));
    });
    explain->setEnabled(axolite::views_gui::canExplain(binding_.window()));
    axolite::gui::showContextMenu(std::move(menu), event->globalPos());
}

void TAxoliteGraphs::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}
