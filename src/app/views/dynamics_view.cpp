// The dynamics view.
#include "app/views/dynamics_view.h"

#include "app/gui/command_ids.h"
#include "app/gui/computation_guard.h"
#include "app/gui/help_window.h"
#include "core/views/series.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

using axolite::language::NetworkRecord;
using axolite::render::DynamicsPainter;
using axolite::render::StillValues;

namespace {

template <typename T> T* named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

} // namespace

void TSegmentedProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int span = std::max(1, maximum() - minimum());
    const double share = std::clamp(static_cast<double>(value() - minimum()) / span, 0.0, 1.0);
    const int filled = static_cast<int>(std::lround(share * width()));
    const double thickness = 0.9 * height();
    const double top = (height() - thickness) / 2.0;
    const double segment = std::max(2.0, std::round(height() * 2.0 / 3.0));
    constexpr double kGap = 2.0;
    for (double x = 0.0; x < filled; x += segment + kGap) {
        const double w = std::min(segment, filled - x);
        painter.fillRect(QRectF(x, top, w, thickness), QColor(0, 0, 255));
    }
}

TNetworkDynamic::TNetworkDynamic(DescriptionWindow* window, QWidget* parent)
    : QDialog(parent), binding_(window) {
    setAttribute(Qt::WA_DeleteOnClose, true);
    setModal(false);
    setWindowTitle(axolite::views_gui::viewCaption(axolite::views_gui::kDynamicsCaption, window));
    setFixedSize(604, 312);
    buildControls();
    buildMenu();
    frames_.setTimerType(Qt::PreciseTimer);
    connect(&frames_, &QTimer::timeout, this, &TNetworkDynamic::nextFrame);
    binding_.connectRefresh(this, [this] {
        if (running_) {
            if (binding_.simulatedRecord() != nullptr) {
                return; // the replay goes on with the data it reads
            }
            // Edited, closed or computed anew under the replay: it stops as an abort does.
            finishReplay(false);
        }
        requestStill();
    });
    if (window != nullptr) {
        connect(window, &DescriptionWindow::stepCursorMoved, this, [this](std::int64_t step) {
            if (settings_.still == StillValues::Step && !running_) {
                settings_.stillStep = step;
                requestStill();
            }
        });
    }
    requestStill();
}

void TNetworkDynamic::buildControls() {
    grid_ = named(new QCheckBox(QStringLiteral("Наложить сетку"), this), 1600);
    grid_->setGeometry(8, 8, 200, 20);
    grid_->setChecked(true);
    connect(grid_, &QCheckBox::toggled, this, [this](bool on) {
        settings_.gridShown = on;
        requestStill();
    });

    faster_ = named(new QRadioButton(QStringLiteral("Увеличить скорость процесса"), this), 1614);
    faster_->setGeometry(366, 36, 234, 22);
    slower_ = named(new QRadioButton(QStringLiteral("Уменьшить скорость процесса"), this), 1615);
    slower_->setGeometry(366, 62, 234, 22);
    faster_->setChecked(true);
    speed_ = named(new QComboBox(this), 1613);
    for (const int k : {1, 4, 8, 16}) {
        speed_->addItem(QStringLiteral(" %1").arg(k), k);
    }
    speed_->setGeometry(366, 112, 80, 22);

    run_ = named(new QPushButton(QStringLiteral("Запустить"), this), 1606);
    run_->setGeometry(366, 150, 118, 28);
    run_->setDefault(true);
    abort_ = named(new QPushButton(QStringLiteral("Прервать"), this), 1607);
    abort_->setGeometry(366, 184, 118, 28);
    abort_->setEnabled(false);
    abort_->setAutoDefault(false);
    close_ = named(new QPushButton(QStringLiteral("Закрыть"), this), 1);
    close_->setGeometry(366, 240, 118, 28);
    close_->setAutoDefault(false);
    auto* help = named(new QPushButton(QStringLiteral("Помощь"), this), 9);
    help->setGeometry(366, 274, 118, 28);
    help->setAutoDefault(false);
    connect(run_, &QPushButton::clicked, this, &TNetworkDynamic::run);
    connect(abort_, &QPushButton::clicked, this, &TNetworkDynamic::abort);
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    connect(help, &QPushButton::clicked, this, [] { openHelp(axolite::gui::CmDynamics); });

    auto* group = named(new QGroupBox(QStringLiteral("Индикатор процесса"), this), 101);
    group->setGeometry(4, 274, 356, 34);
    progress_ = named(new TSegmentedProgressBar(this), 1609);
    progress_->setGeometry(9, 292, 348, 10);
    progress_->setOrientation(Qt::Horizontal);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progress_->raise();
}

void TNetworkDynamic::buildMenu() {
    using axolite::views_gui::PictureFormat;
    menu_ = new QMenu(this);
    marking_ =
        named(menu_->addAction(QStringLiteral("Обозначить нейроны выходного слоя цветом")), 1608);
    marking_->setCheckable(true);
    marking_->setChecked(true);
    connect(marking_, &QAction::triggered, this, [this] {
        settings_.colourMarking = !settings_.colourMarking;
        marking_->setChecked(settings_.colourMarking);
        requestStill();
    });
    menu_->addSeparator();
    initial_ = named(
        menu_->addAction(QStringLiteral("Показать начальные значения активности нейронов")), 1610);
    final_ = named(
        menu_->addAction(QStringLiteral("Показать конечные значения активности нейронов")), 1611);
    connect(initial_, &QAction::triggered, this, [this] {
        settings_.still = StillValues::Initial;
        requestStill();
    });
    connect(final_, &QAction::triggered, this, [this] {
        settings_.still = StillValues::Final;
        requestStill();
    });
    // Offered while a debugger of the description stands on a step; the columns then follow it.
    debugStep_ = named(
        menu_->addAction(QStringLiteral("Показать значения активности на шаге отладки")), 1612);
    connect(debugStep_, &QAction::triggered, this, [this] {
        if (DescriptionWindow* window = binding_.window(); window && window->stepCursor()) {
            settings_.still = StillValues::Step;
            settings_.stillStep = *window->stepCursor();
            requestStill();
        }
    });
    connect(menu_, &QMenu::aboutToShow, this, [this] {
        const DescriptionWindow* window = binding_.window();
        debugStep_->setVisible(window != nullptr && window->stepCursor().has_value());
    });
    menu_->addSeparator();
    savePng_ = menu_->addAction(QStringLiteral("Сохранить рисунок как PNG ..."), this,
                                [this] { exportPicture(PictureFormat::Png); });
    saveSvg_ = menu_->addAction(QStringLiteral("Сохранить рисунок как SVG ..."), this,
                                [this] { exportPicture(PictureFormat::Svg); });
}

void TNetworkDynamic::requestStill() {
    stillDirty_ = true;
    progress_->setValue(0);
    update(DynamicsPainter::fieldRect());
}

bool TNetworkDynamic::ensureField() {
    const qreal ratio = devicePixelRatioF();
    const QSize size = DynamicsPainter::fieldRect().size() * ratio;
    if (!field_.isNull() && field_.size() == size && field_.devicePixelRatio() == ratio) {
        return false;
    }
    field_ = QImage(size, QImage::Format_RGB32);
    field_.setDevicePixelRatio(ratio);
    field_.fill(Qt::black);
    return true;
}

void TNetworkDynamic::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (ensureField() || (stillDirty_ && !running_)) {
        QPainter still(&field_);
        still.translate(-DynamicsPainter::fieldRect().topLeft());
        DynamicsPainter::paintStill(still, binding_.simulatedRecord(), settings_);
        stillDirty_ = false;
    }
    QPainter painter(this);
    painter.drawImage(DynamicsPainter::fieldRect().topLeft(), field_);
}

void TNetworkDynamic::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // The exports' file dialog would hold a computation running meanwhile.
        const bool exports = !running_ && !axolite::gui::ComputationRegister::instance().anyBusy();
        savePng_->setEnabled(exports);
        saveSvg_->setEnabled(exports);
        menu_->popup(event->globalPosition().toPoint());
        return;
    }
    QDialog::mousePressEvent(event);
}

void TNetworkDynamic::setIdle(bool idle) {
    run_->setEnabled(idle);
    close_->setEnabled(idle);
    abort_->setEnabled(!idle);
    for (QWidget* control : std::initializer_list<QWidget*>{speed_, faster_, slower_, grid_}) {
        control->setEnabled(idle);
    }
    for (QAction* action : {marking_, initial_, final_, debugStep_, savePng_, saveSvg_}) {
        action->setEnabled(idle);
    }
}

void TNetworkDynamic::run() {
    const NetworkRecord* record = binding_.simulatedRecord();
    if (running_ || record == nullptr) {
        return;
    }
    const bool faster = faster_->isChecked();
    const int k = speed_->currentData().toInt();
    schedule_.emplace(axolite::views::gridPointCount(*record),
                      axolite::views::replayStride(faster, k));
    scale_ = axolite::views::verticalScale(*record);
    frame_ = 0;
    running_ = true;
    abortRequested_ = false;
    setIdle(false);

    // The replay starts from the columns at their initial values.
    ensureField();
    {
        QPainter painter(&field_);
        painter.translate(-DynamicsPainter::fieldRect().topLeft());
        DynamicsPainter::paintStep(painter, record, settings_, 0);
    }
    stillDirty_ = false;
    progress_->setValue(0);
    update(DynamicsPainter::fieldRect());

    const auto pause = faster ? std::chrono::microseconds(0) : axolite::views::slowerModePause(k);
    frames_.start(static_cast<int>((pause.count() + 500) / 1000));
}

void TNetworkDynamic::nextFrame() {
    const NetworkRecord* record = binding_.simulatedRecord();
    if (!running_ || abortRequested_ || record == nullptr) {
        // Aborted, or the description went away or is being computed anew.
        finishReplay(false);
        if (record == nullptr) {
            requestStill(); // the empty field, not the last frame of data no longer readable
        }
        return;
    }
    if (frame_ >= schedule_->frameCount()) {
        finishReplay(true);
        return;
    }
    const axolite::views::ReplayFrame frame = schedule_->frame(frame_++);
    progress_->setValue(frame.percent);
    {
        QPainter painter(&field_);
        painter.translate(-DynamicsPainter::fieldRect().topLeft());
        DynamicsPainter::paintFrame(painter, *record, settings_, scale_, frame);
    }
    update(DynamicsPainter::fieldRect());
    if (frame_ >= schedule_->frameCount()) {
        finishReplay(true);
    }
}

void TNetworkDynamic::finishReplay(bool completed) {
    frames_.stop();
    if (!running_) {
        return;
    }
    running_ = false;
    abortRequested_ = false;
    // The columns keep their last heights; the progress bar starts again from 0.
    progress_->setValue(0);
    if (completed) {
        QApplication::beep();
        emit beeped();
    }
    setIdle(true);
    emit replayEnded(completed);
}

void TNetworkDynamic::abort() {
    if (running_) {
        abortRequested_ = true;
    }
}

void TNetworkDynamic::exportPicture(axolite::views_gui::PictureFormat format) {
    const NetworkRecord* record = binding_.simulatedRecord();
    axolite::views_gui::exportPicture(this, format, DynamicsPainter::fieldRect(),
                                      [this, record](QPainter& painter) {
                                          DynamicsPainter::paintStill(painter, record, settings_);
                                      });
}

void TNetworkDynamic::closeEvent(QCloseEvent* event) {
    // A replay stops before the view and its field go away.
    abortRequested_ = true;
    finishReplay(false);
    emit closed();
    event->accept();
}
