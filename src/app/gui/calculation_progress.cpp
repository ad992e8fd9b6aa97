// The progress dialog ("Процесс счета"). The computation runs on the interface thread and calls
// poll() after every unit of work; events are processed there at most every 15 ms, so a
// million-step run keeps the windows responsive without spending its time in the event loop.
#include "app/gui/calculation_progress.h"

#include "core/language/network_record.h"
#include "core/platform/processor_features.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

#include <algorithm>

namespace {

const QString kNoCount = QStringLiteral("     -");
const QRect kBarPlace(14, 35, 274, 10);

QLabel* makeLabel(const QString& text, const char* id, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    if (id != nullptr) {
        label->setObjectName(QString::fromLatin1(id));
    }
    return label;
}

// Counters are 64-bit: "%5d" widened so that large counts show in full.
QString formatCount(std::int64_t count) {
    return QString::asprintf("%5lld", static_cast<long long>(count));
}

// Qt's drawing and region code runs with the upper halves of the vector registers in use and may
// leave them so; until they are cleared, the legacy SSE code of the computation (the formula
// evaluator) runs markedly slower: four formulas over 10^6 points took 20 % longer after each
// event processing than without it. Cleared after every piece of interface work inside a run.
void clearUpperVectorState() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (axolite::platform::processorFeatures().avx) {
        asm volatile("vzeroupper" ::: "memory");
    }
#endif
}

// The percentage bar: pure blue segments ("LED" style: a gap of 2 pixels, 90 % of the height
// thick) on white, and the percentage in the middle drawn black over the white part and white
// over the blue part, so that it reads wherever the bar has reached.
class PercentBar : public QProgressBar {
public:
    using QProgressBar::QProgressBar;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect frame = rect();
        painter.fillRect(frame, Qt::white);
        const QRect inside = frame.adjusted(1, 1, -1, -1);
        const int span = std::max(1, maximum() - minimum());
        const double share = std::clamp(static_cast<double>(value() - minimum()) / span, 0.0, 1.0);
        const int filled = static_cast<int>(std::lround(share * inside.width()));
        const QRect done(inside.left(), inside.top(), filled, inside.height());
        const double thickness = 0.9 * inside.height();
        const double top = inside.top() + (inside.height() - thickness) / 2.0;
        constexpr double kSegment = 5.0;
        constexpr double kGap = 2.0;
        for (double x = 0.0; x < filled; x += kSegment + kGap) {
            painter.fillRect(
                QRectF(inside.left() + x, top, std::min(kSegment, filled - x), thickness),
                QColor(0, 0, 255));
        }
        painter.setPen(Qt::gray);
        painter.drawRect(frame.adjusted(0, 0, -1, -1));

        QFont font = painter.font();
        font.setPixelSize(std::max(6, frame.height() - 1));
        font.setBold(true);
        painter.setFont(font);
        const QString shown = text();
        // Under the text the bar is solid (no gaps between segments), so that each letter
        // stands on one colour.
        const QRect behind =
            QRect(QPoint(0, 0), painter.fontMetrics().size(Qt::TextSingleLine, shown))
                .adjusted(-2, 0, 2, 0)
                .intersected(inside);
        const QRect textArea(frame.center().x() - behind.width() / 2, inside.top(), behind.width(),
                             inside.height());
        painter.fillRect(textArea.intersected(done), QColor(0, 0, 255));
        painter.fillRect(
            textArea.intersected(QRect(done.right() + 1, inside.top(),
                                       inside.right() - done.right(), inside.height())),
            Qt::white);
        painter.save();
        painter.setClipRect(done);
        painter.setPen(Qt::white);
        painter.drawText(frame, Qt::AlignCenter, shown);
        painter.restore();
        painter.setClipRegion(QRegion(frame).subtracted(QRegion(done)));
        painter.setPen(Qt::black);
        painter.drawText(frame, Qt::AlignCenter, shown);
    }
};

} // namespace

TCalculationProgress::TCalculationProgress(axolite::language::NetworkRecord* record,
                                           const QString& text, QWidget* parent)
    : QDialog(parent), record_(record) {
    setWindowTitle(QStringLiteral("Процесс счета"));
    setModal(false);

    text_ = makeLabel(text, "18013", this);

    // The bar has its own place, 274 × 10 at (14, 35); the layout leaves room for it under the
    // computation's name.
    bar_ = new PercentBar(this);
    bar_->setObjectName(QStringLiteral("209"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setFormat(QStringLiteral("%p%"));
    bar_->setTextVisible(true);
    bar_->setGeometry(kBarPlace);

    time_ = makeLabel(QString::asprintf("%f", 0.0), "7777", this);

    auto* statistics = new QGroupBox(QStringLiteral(" Статистика процесса "), this);
    auto* grid = new QGridLayout(statistics);
    const char* labelIds[3] = {"7781", "7782", "7783"};
    const char* valueIds[3] = {"7778", "7779", "7780"};
    const QString labelTexts[3] = {QStringLiteral("Операций сложения :"),
                                   QStringLiteral(" Операций умножения :"),
                                   QStringLiteral("Операций деления :")};
    for (int i = 0; i < 3; ++i) {
        counterLabels_[i] = makeLabel(labelTexts[i], labelIds[i], statistics);
        counterValues_[i] = makeLabel(kNoCount, valueIds[i], statistics);
        counterValues_[i]->setFont(QFont(QStringLiteral("Courier")));
        counterValues_[i]->setMinimumWidth(120);
        grid->addWidget(counterLabels_[i], i, 0);
        grid->addWidget(counterValues_[i], i, 1);
    }

    interruptButton_ = new QPushButton(QStringLiteral("Прервать"), this);
    interruptButton_->setObjectName(QStringLiteral("2"));
    closeButton_ = new QPushButton(QStringLiteral("Закрыть"), this);
    closeButton_->setObjectName(QStringLiteral("1"));
    closeButton_->setEnabled(false);
    interruptButton_->setAutoDefault(false);
    closeButton_->setAutoDefault(false);
    connect(interruptButton_, &QPushButton::clicked, this, &TCalculationProgress::interrupt);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::close);

    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(new QLabel(QStringLiteral("Время счета :"), this));
    timeRow->addWidget(time_);
    timeRow->addWidget(new QLabel(QStringLiteral("секунд"), this));
    timeRow->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(interruptButton_);
    buttons->addWidget(closeButton_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kBarPlace.left(), 8, kBarPlace.left(), 11);
    text_->setFixedHeight(kBarPlace.top() - 8 - 4);
    layout->addWidget(text_);
    layout->addSpacing(kBarPlace.height() + 4);
    setMinimumWidth(kBarPlace.right() + 1 + kBarPlace.left());
    layout->addLayout(timeRow);
    layout->addWidget(statistics);
    layout->addLayout(buttons);

    // A new computation starts uninterrupted.
    if (record_ != nullptr) {
        record_->cancelRequested = 0;
    }
    refresh_.setInterval(1);
    connect(&refresh_, &QTimer::timeout, this, &TCalculationProgress::refreshFigures);
    refresh_.start();
    clock_.start();
}

void TCalculationProgress::showOnFirstReport() {
    reported_ = true;
    if (!interrupted_ && !isVisible()) {
        show();
    }
}

void TCalculationProgress::setPercent(int percent) {
    if (!reported_) {
        showOnFirstReport();
    }
    percent = std::clamp(percent, 0, 100);
    if (percent != percent_) {
        percent_ = percent;
        // The bar would repaint itself at once for every percent (a synchronous paint costs as
        // much as thousands of a computation's units); with updates held it only emits its
        // signal and is painted at the next event processing.
        bar_->setUpdatesEnabled(false);
        bar_->setValue(percent);
        bar_->setUpdatesEnabled(true);
        clearUpperVectorState();
    }
}

void TCalculationProgress::poll() {
    if (!reported_) {
        showOnFirstReport();
    }
    // Reading the clock costs as much as a whole unit of the cheapest computations (a
    // Runge-Kutta step); it is read after a number of units that keeps the readings about a
    // millisecond apart, whatever a unit costs.
    if (++unitsSinceClock_ < unitsPerClock_) {
        return;
    }
    unitsSinceClock_ = 0;
    const qint64 now = clock_.nsecsElapsed();
    const qint64 sinceReading = now - lastClockNs_;
    if (sinceReading < kClockIntervalNs / 2 && unitsPerClock_ < kMaxUnitsPerClock) {
        unitsPerClock_ *= 2;
    } else if (sinceReading > 2 * kClockIntervalNs) {
        unitsPerClock_ = std::max(1, unitsPerClock_ / 4);
    }
    lastClockNs_ = now;
    if (now / 1000000 - lastEvents_ >= kEventIntervalMs) {
        lastEvents_ = now / 1000000;
        QCoreApplication::processEvents();
        clearUpperVectorState();
        // The time spent serving the windows does not count as units' time.
        lastClockNs_ = clock_.nsecsElapsed();
    }
}

double TCalculationProgress::elapsedSeconds() const {
    const qint64 ms = stoppedAtMs_ >= 0 ? stoppedAtMs_ : clock_.elapsed();
    return static_cast<double>(ms) / 1000.0;
}

void TCalculationProgress::refreshFigures() {
    time_->setText(QString::asprintf("%f", elapsedSeconds()));
    if (record_ == nullptr) {
        return;
    }
    // A counter still at zero keeps its "     -".
    const std::int64_t counts[3] = {record_->counters.additions, record_->counters.multiplications,
                                    record_->counters.divisions};
    for (int i = 0; i < 3; ++i) {
        if (counts[i] != 0) {
            counterValues_[i]->setText(formatCount(counts[i]));
        }
    }
}

void TCalculationProgress::finish() {
    if (finished_) {
        return;
    }
    stoppedAtMs_ = clock_.elapsed();
    refresh_.stop();
    refreshFigures();
    finished_ = true;
    interruptButton_->setEnabled(false);
    closeButton_->setEnabled(true);
    setAttribute(Qt::WA_DeleteOnClose, true);
    if (!interrupted_ && !isVisible()) {
        show();
    }
}

void TCalculationProgress::disableStatistics() {
    for (int i = 0; i < 3; ++i) {
        counterLabels_[i]->setEnabled(false);
        counterValues_[i]->setEnabled(false);
    }
}

void TCalculationProgress::setText(const QString& text) {
    text_->setText(text);
}

void TCalculationProgress::interrupt() {
    if (finished_ || interrupted_) {
        return;
    }
    interrupted_ = true;
    refresh_.stop();
    if (record_ != nullptr) {
        record_->cancelRequested = 1;
    }
    hide();
    emit interruptRequested();
}

// While the computation runs, closing the window is "Прервать"; afterwards it is "Закрыть".
void TCalculationProgress::closeEvent(QCloseEvent* event) {
    if (!finished_ && !interrupted_) {
        interrupt();
        event->ignore();
        return;
    }
    event->accept();
}

void TCalculationProgress::reject() {
    if (!finished_) {
        interrupt();
        return;
    }
    close();
}
