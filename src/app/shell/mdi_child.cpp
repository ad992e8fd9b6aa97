// A description window.
#include "app/shell/mdi_child.h"

#include "app/editor/edit_file.h"
#include "app/gui/calculation_progress.h"
#include "app/gui/computation_guard.h"
#include "app/gui/notifier.h"
#include "app/language/translate_dialog.h"
#include "app/shell/command_icons.h"

#include <QCloseEvent>
#include <QMdiArea>

#include <functional>

TAxoliteMDIChild::TAxoliteMDIChild(int slot, QWidget* parent)
    : DescriptionWindow(parent), editor_(new TAxoliteEditFile(this)), slot_(slot),
      record_(std::make_unique<axolite::language::NetworkRecord>()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(editor_);
    setWindowIcon(axolite::shell::programIcon());
    resize(560, 380);
    updateCaption();

    // Any edit makes the results out of date: the results commands wait for a new simulation.
    // A run that goes on meanwhile raises the flag after each of its steps: it is cleared once
    // more when that run ends (the run simulated the text as it was checked).
    connect(editor_, &TAxoliteEditFile::contentsChanged, this, [this] {
        record_->simulated = 0;
        editedWhileRunning_ = editedWhileRunning_ || (checkWindow_ && checkWindow_->running());
        emit stateChanged();
    });
    connect(editor_, &TAxoliteEditFile::modificationChanged, this, [this] {
        updateCaption();
        emit stateChanged();
    });
    connect(editor_, &TAxoliteEditFile::selectionChanged, this, &TAxoliteMDIChild::stateChanged);
    connect(editor_, &TAxoliteEditFile::undoAvailable, this, &TAxoliteMDIChild::stateChanged);
    connect(&axolite::gui::ComputationRegister::instance(),
            &axolite::gui::ComputationRegister::computationEnded, this,
            &TAxoliteMDIChild::closeIfPending, Qt::QueuedConnection);
    connect(editor_, &TAxoliteEditFile::cursorPositionChanged, this, [this] {
        if (checkWindow_) {
            checkWindow_->showCaretLine(editor_->caretLine());
        }
    });
}

TAxoliteMDIChild::~TAxoliteMDIChild() {
    // The editor outlives this body (the base class deletes it): its signals must not reach
    // the record any more.
    editor_->disconnect(this);
    record_->clearPresenceAndSimulated();
    closeCheckWindow();
}

QString TAxoliteMDIChild::displayName() const {
    return document_.displayName();
}

bool TAxoliteMDIChild::usesCrLf() const {
    return editor_->crlfDominant();
}

bool TAxoliteMDIChild::isModified() const {
    return editor_->isModified();
}

void TAxoliteMDIChild::updateCaption() {
    setWindowTitle(displayName() + (isModified() ? QStringLiteral(" *") : QString()));
}

bool TAxoliteMDIChild::load(const QString& path) {
    QByteArray bytes;
    bool ok = DescriptionDocument::readBytes(path, bytes);
    if (ok) {
        try {
            takeFileText(path, bytes);
        } catch (const std::bad_alloc&) {
            ok = false; // the text does not fit in the memory left
        }
    }
    if (!ok) {
        Notifier::instance().show(axolite::MessageKind::Error,
                                  QStringLiteral("Невозможно прочитать файл %1")
                                      .arg(DescriptionDocument::shownPath(path)),
                                  this);
        return false;
    }
    return true;
}

void TAxoliteMDIChild::takeFileText(const QString& path, QByteArray& bytes) {
    QString text = document_.take(path, bytes);
    // The window is shown once the file has been read, before its text goes in.
    updateCaption();
    show();
    editor_->setFileText(std::move(text));
    record_->simulated = 0;
    updateCaption();
}

bool TAxoliteMDIChild::saveTo(const QString& path) {
    if (!document_.write(path, editor_->fileText())) {
        Notifier::instance().show(
            axolite::MessageKind::Error,
            QStringLiteral("Невозможно записать файл %1").arg(DescriptionDocument::shownPath(path)),
            this);
        return false;
    }
    editor_->setModified(false);
    updateCaption();
    return true;
}

TTranslateDialog* TAxoliteMDIChild::checkWindow() const {
    return checkWindow_.data();
}

bool TAxoliteMDIChild::checkOpen() const {
    return checkWindow_ && checkWindow_->checkOpen();
}

const axolite::language::DescriptionText* TAxoliteMDIChild::checkText() {
    return &editor_->textCp1251();
}

QString TAxoliteMDIChild::lineText(int line) const {
    const QStringList lines = editor_->documentLines();
    return line >= 1 && line <= lines.size() ? lines[line - 1] : QString();
}

const axolite::language::CheckResult* TAxoliteMDIChild::checkResult() const {
    return checkWindow_ ? &checkWindow_->checkResult() : nullptr;
}

const axolite::simulation::Simulation* TAxoliteMDIChild::simulation() const {
    return checkWindow_ ? &checkWindow_->simulation() : nullptr;
}

void TAxoliteMDIChild::highlightLines(const std::vector<std::int32_t>& lines) {
    editor_->setMarkedLines(lines);
}

QWidget* TAxoliteMDIChild::checkWidget() const {
    return checkWindow_.data();
}

void TAxoliteMDIChild::setCheckWidget(QWidget* widget) {
    auto* window = qobject_cast<TTranslateDialog*>(widget);
    closeCheckWindow();
    checkWindow_ = window;
    if (window != nullptr) {
        // The window is forgotten before anyone hears of the change: what is being destroyed is
        // no check window any more, and must not be asked whether it runs.
        connect(window, &QObject::destroyed, this, [this] {
            checkWindow_.clear();
            emit stateChanged();
        });
        connect(window, &TTranslateDialog::closed, this, &TAxoliteMDIChild::stateChanged);
        connect(window, &TTranslateDialog::simulationEnded, this, [this] {
            if (editedWhileRunning_) {
                editedWhileRunning_ = false;
                record_->simulated = 0;
                emit stateChanged();
            }
        });
        connect(window, &TTranslateDialog::simulationEnded, this, &TAxoliteMDIChild::closeIfPending,
                Qt::QueuedConnection);
        // The current-line field reads "Недоступна" until the caret moves.
        connect(window, &TTranslateDialog::lineChosen, this, &TAxoliteMDIChild::showLine);
    }
    emit stateChanged();
}

void TAxoliteMDIChild::showLine(int line) {
    if (isMinimized()) {
        showNormal();
    }
    if (mdiArea() != nullptr) {
        mdiArea()->setActiveSubWindow(this);
    }
    editor_->setCaretLine(line - 1);
    if (checkWindow_) {
        checkWindow_->showCaretLine(editor_->caretLine());
    }
}

void TAxoliteMDIChild::closeCheckWindow() {
    if (checkWindow_) {
        TTranslateDialog* window = checkWindow_;
        checkWindow_ = nullptr;
        window->disconnect(this);
        delete window;
    }
}

bool TAxoliteMDIChild::computing() const {
    return axolite::gui::ComputationRegister::instance().busy(*record_) ||
           (checkWindow_ && checkWindow_->running());
}

void TAxoliteMDIChild::stopComputation() {
    closeWhenIdle_ = false;
    if (computing()) {
        record_->cancelRequested = 1;
    }
}

bool TAxoliteMDIChild::maySave(const std::function<bool()>& saveHandler) {
    if (!isModified()) {
        return true;
    }
    asking_ = true;
    const auto answer = Notifier::instance().askYesNoCancel(
        QStringLiteral("Содержимое файла %1 изменено.\n\nСохранить изменения?").arg(displayName()),
        this);
    asking_ = false;
    switch (answer) {
    case Notifier::Answer::Yes:
        return saveHandler && saveHandler();
    case Notifier::Answer::No:
        return true;
    case Notifier::Answer::Cancel:
        return false;
    }
    return false;
}

void TAxoliteMDIChild::closeEvent(QCloseEvent* event) {
    if (asking_) {
        // A close that arrives while its question is open (from the question's own event loop)
        // waits for the answer.
        event->ignore();
        return;
    }
    if (computing()) {
        // Not from under the computation: ask it to stop and close once it has.
        record_->cancelRequested = 1;
        closeWhenIdle_ = true;
        event->ignore();
        return;
    }
    if (!maySave(saveHandler_)) {
        closeWhenIdle_ = false;
        event->ignore();
        return;
    }
    record_->clearPresenceAndSimulated();
    closeCheckWindow();
    QMdiSubWindow::closeEvent(event);
}

void TAxoliteMDIChild::closeIfPending() {
    if (closeWhenIdle_ && !computing()) {
        closeWhenIdle_ = false;
        close();
    }
}
