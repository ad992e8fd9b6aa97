// The debugger window: stepping, running to a condition, and the end of its session.
#include "app/debugger/debug_window.h"

#include "app/debugger/condition_list.h"
#include "app/debugger/debugger_ids.h"
#include "app/debugger/watch_panel.h"
#include "app/gui/command_ids.h"
#include "app/gui/computation_guard.h"
#include "app/gui/help_window.h"
#include "app/gui/tool_register.h"
#include "core/common/message.h"
#include "core/common/number_text.h"
#include "core/debugger/debug_session.h"
#include "core/simulation/explain.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

using axolite::debugger::DebugSession;
using namespace axolite::debugger_gui;

namespace axolite::debugger_gui {

bool canDebug(const DescriptionWindow* window) {
    return window != nullptr && !window->computing() && window->record().simulated != 0 &&
           window->checkOpen() && window->checkResult() != nullptr &&
           window->simulation() != nullptr;
}

} // namespace axolite::debugger_gui

QString TDebugWindow::endText(End why) {
    switch (why) {
    case End::Edited:
        return QStringLiteral("Описание изменено: отладка завершена.");
    case End::CheckClosed:
        return QStringLiteral("Окно проверки описания закрыто: отладка завершена.");
    case End::RunChanged:
        return QStringLiteral("Описание посчитано заново: отладка завершена.");
    case End::Closed:
        return QStringLiteral("Окно описания закрыто: отладка завершена.");
    }
    return {};
}

TDebugWindow::TDebugWindow(DescriptionWindow* window, QWidget* parent)
    : QDialog(parent), window_(window) {
    if (!canDebug(window)) {
        throw axolite::AxoliteError(axolite::MessageKind::Information,
                                    axolite::simulation::notSimulatedText());
    }
    session_ = std::make_unique<DebugSession>(window->record(), *window->checkResult(),
                                              *window->simulation());
    check_ = window->checkWidget();
    setAttribute(Qt::WA_DeleteOnClose, true);
    setModal(false);
    setWindowTitle(axolite::gui::toolCaption(axolite::gui::CmDebugger, window->displayName()));
    buildControls();
    watches_->setSession(session_.get());
    conditions_->setSession(session_.get());
    slider_->setRange(0, session_->steps() - 1);

    connect(window, &DescriptionWindow::stateChanged, this, &TDebugWindow::followDescription);
    connect(&axolite::gui::ComputationRegister::instance(),
            &axolite::gui::ComputationRegister::busyChanged, this,
            &TDebugWindow::followDescription);
    connect(window, &QObject::destroyed, this, [this] {
        dropSession(false);
        endSession(End::Closed);
    });
    if (check_) {
        // The run's arrays go with the check window: the session is dropped at once (the
        // description may be closing: nothing of it is touched), and why is told once it is
        // known whether the description closed with it.
        connect(check_, &QObject::destroyed, this, [this] {
            if (session_) {
                dropSession(false);
                QTimer::singleShot(
                    0, this, [this] { endSession(window_ ? End::CheckClosed : End::Closed); });
            }
        });
    }
    showStep();
}

TDebugWindow::~TDebugWindow() {
    dropSession(true);
}

void TDebugWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    step_ = named(new QLabel(this), kStepText);
    layout->addWidget(step_);

    auto* moves = new QHBoxLayout;
    const auto button = [this, moves](const char* text, int id, void (TDebugWindow::*move)()) {
        auto* b = named(new QPushButton(QString::fromUtf8(text), this), id);
        b->setAutoDefault(false);
        moves->addWidget(b);
        connect(b, &QPushButton::clicked, this, move);
        stepping_.push_back(b);
    };
    button("|◀ Первый шаг", kFirstStep, &TDebugWindow::first);
    button("◀ Шаг назад", kStepBack, &TDebugWindow::back);
    button("Шаг вперёд ▶", kStepForward, &TDebugWindow::forward);
    button("Последний шаг ▶|", kLastStep, &TDebugWindow::last);
    layout->addLayout(moves);
    auto* runs = new QHBoxLayout;
    for (const auto& [text, id, forward] :
         {std::tuple{"Назад до условия", kBackToCondition, false},
          std::tuple{"Продолжить до условия", kContinueToCondition, true}}) {
        auto* b = named(new QPushButton(QString::fromUtf8(text), this), id);
        b->setAutoDefault(false);
        runs->addWidget(b);
        const bool ahead = forward; // a structured binding cannot be captured by every compiler
        connect(b, &QPushButton::clicked, this, [this, ahead] { runToCondition(ahead); });
        stepping_.push_back(b);
    }
    layout->addLayout(runs);
    slider_ = named(new QSlider(Qt::Horizontal, this), kStepSlider);
    connect(slider_, &QSlider::valueChanged, this, [this](int step) { goTo(step); });
    stepping_.push_back(slider_);
    layout->addWidget(slider_);

    auto* watchBox = new QGroupBox(QStringLiteral("Наблюдаемые нейроны"), this);
    auto* watchLayout = new QVBoxLayout(watchBox);
    watches_ = new TWatchPanel(watchBox);
    watchLayout->addWidget(watches_);
    layout->addWidget(watchBox, 1);
    connect(watches_, &TWatchPanel::explained, this, &TDebugWindow::showMarks);
    connect(watches_, &TWatchPanel::lineChosen, this, [this](int line) {
        if (window_) {
            window_->showLine(line);
        }
    });

    auto* conditionBox = new QGroupBox(QStringLiteral("Условия"), this);
    auto* conditionLayout = new QVBoxLayout(conditionBox);
    conditions_ = new TConditionList(conditionBox);
    conditionLayout->addWidget(conditions_);
    addCondition_ =
        named(new QPushButton(QStringLiteral("Добавить условие"), conditionBox), kAddCondition);
    addCondition_->setAutoDefault(false);
    connect(addCondition_, &QPushButton::clicked, this, [this] { conditions_->addCondition(); });
    conditionLayout->addWidget(addCondition_, 0, Qt::AlignLeft);
    stepping_.push_back(addCondition_);
    layout->addWidget(conditionBox);

    status_ = named(new QLabel(this), kStatus);
    status_->setWordWrap(true);
    layout->addWidget(status_);

    auto* closing = new QHBoxLayout;
    closing->addStretch(1);
    auto* close = named(new QPushButton(QStringLiteral("Закрыть"), this), kClose);
    auto* help = named(new QPushButton(QStringLiteral("Помощь"), this), kHelp);
    help->setAutoDefault(false);
    closing->addWidget(close);
    closing->addWidget(help);
    layout->addLayout(closing);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(help, &QPushButton::clicked, this, [] { openHelp(axolite::gui::CmDebugger); });
    resize(660, 660);
}

QString TDebugWindow::stepText() const {
    return step_->text();
}

QString TDebugWindow::statusText() const {
    return status_->text();
}

void TDebugWindow::goTo(std::int64_t step) {
    if (followDescription()) {
        session_->goTo(step);
        showStep();
    }
}

void TDebugWindow::first() {
    goTo(0);
}

void TDebugWindow::back() {
    if (session_) {
        goTo(static_cast<std::int64_t>(session_->step()) - 1);
    }
}

void TDebugWindow::forward() {
    if (session_) {
        goTo(static_cast<std::int64_t>(session_->step()) + 1);
    }
}

void TDebugWindow::last() {
    if (session_) {
        goTo(session_->steps() - 1);
    }
}

bool TDebugWindow::continueToCondition() {
    return runToCondition(true);
}

bool TDebugWindow::backToCondition() {
    return runToCondition(false);
}

bool TDebugWindow::runToCondition(bool forward) {
    if (!followDescription()) {
        return false;
    }
    const std::int32_t from = session_->step();
    const auto hit = forward ? session_->continueToCondition() : session_->backToCondition();
    if (!hit) {
        const bool any = std::any_of(session_->conditions().begin(), session_->conditions().end(),
                                     [](const auto& c) { return c.active && c.condition; });
        status_->setText(
            !any ? QStringLiteral("Нет включённых условий без ошибок.")
            : forward ? QStringLiteral("После шага %1 ни одно включённое условие не выполняется.")
                            .arg(from)
                      : QStringLiteral("До шага %1 ни одно включённое условие не выполняется.")
                            .arg(from));
        return false;
    }
    status_->setText(QStringLiteral("Шаг %1: выполнено условие %2: %3")
                         .arg(hit->step)
                         .arg(hit->condition + 1)
                         .arg(QString::fromStdString(session_->conditions()[hit->condition].text)));
    // The value the condition names first is explained, when it is watched.
    if (const auto named = session_->namedNeurons(hit->condition); !named.empty()) {
        watches_->selectNeuron(named.front());
    }
    showStep();
    return true;
}

void TDebugWindow::showStep() {
    if (!session_) {
        return;
    }
    const std::int32_t step = session_->step();
    step_->setText(QStringLiteral("Шаг %1 из %2, x = %3")
                       .arg(step)
                       .arg(session_->steps() - 1)
                       .arg(QString::fromStdString(axolite::shortestNumberText(session_->x()))));
    {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(step);
    }
    watches_->refresh(); // and through explained(), the editor's marks
    if (window_) {
        window_->setStepCursor(step);
    }
}

void TDebugWindow::showMarks() {
    if (session_ && window_) {
        window_->highlightLines(watches_->explanationLines());
    }
}

bool TDebugWindow::followDescription() {
    if (!session_) {
        return false;
    }
    if (!window_) {
        endSession(End::Closed);
        return false;
    }
    // A new check always replaces a check window that was closed first.
    if (window_->checkWidget() != check_.data() || !window_->checkOpen()) {
        endSession(End::CheckClosed);
        return false;
    }
    if (window_->computing()) {
        // Nothing is read while a computation works on the record; what it leaves is judged
        // when it ends.
        busySeen_ = true;
        setControlsEnabled(false);
        return false;
    }
    const auto now = axolite::debugger::RunValues::of(window_->record());
    if (window_->record().simulated == 0 || now.activity != session_->run().activity ||
        now.steps != session_->steps()) {
        endSession(busySeen_ || window_->record().simulated != 0 ? End::RunChanged : End::Edited);
        return false;
    }
    busySeen_ = false;
    setControlsEnabled(true);
    return true;
}

void TDebugWindow::dropSession(bool leaveDescription) {
    if (!session_) {
        return;
    }
    session_.reset();
    watches_->setSession(nullptr);
    conditions_->setSession(nullptr);
    setControlsEnabled(false);
    if (leaveDescription && window_) {
        window_->highlightLines({});
        window_->setStepCursor(std::nullopt);
    }
}

void TDebugWindow::endSession(End why) {
    // A description that closes is told as such even after its check window went first.
    if (end_ && why != End::Closed) {
        return;
    }
    dropSession(true);
    end_ = why;
    status_->setText(endText(why));
}

void TDebugWindow::setControlsEnabled(bool enabled) {
    for (QWidget* control : stepping_) {
        control->setEnabled(enabled);
    }
    watches_->setEnabled(enabled);
    conditions_->setEnabled(enabled);
}

void TDebugWindow::closeEvent(QCloseEvent* event) {
    // The description's marks and cursor go with the window; the table stays readable until
    // the window is gone.
    if (session_ && window_) {
        window_->highlightLines({});
        window_->setStepCursor(std::nullopt);
    }
    event->accept();
    emit closed();
}
