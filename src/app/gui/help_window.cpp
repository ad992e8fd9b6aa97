// The help window.
#include "gui/help_window.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QPointer<THelpWindow>& theHelpWindow() {
    static QPointer<THelpWindow> window;
    return window;
}

QString topicPath(int topic) {
    if (topic == 0) {
        return QStringLiteral(":/help/index.html");
    }
    return QStringLiteral(":/help/%1.html").arg(topic);
}

} // namespace

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("help"));
    setWindowTitle(QStringLiteral("Axolite - Справка"));
    resize(640, 520);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(false);
    browser_->setSearchPaths({QStringLiteral(":/help")});

    auto* contents = new QPushButton(QStringLiteral("Содержание"), this);
    auto* back = new QPushButton(QStringLiteral("Назад"), this);
    auto* forward = new QPushButton(QStringLiteral("Вперед"), this);
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, [this] { showTopic(0); });
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        setWindowTitle(QStringLiteral("Axolite - Справка - ") + browser_->documentTitle());
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
}

bool THelpWindow::hasTopic(int topic) {
    return QFile::exists(topicPath(topic));
}

QUrl THelpWindow::topicUrl(int topic) {
    return QUrl(QStringLiteral("qrc") + (hasTopic(topic) ? topicPath(topic) : topicPath(0)));
}

void THelpWindow::showTopic(int topic) {
    browser_->setSource(topicUrl(topic));
}

QUrl THelpWindow::currentPage() const {
    return browser_->source();
}

QString THelpWindow::currentTitle() const {
    return browser_->documentTitle();
}

void THelpWindow::showOver(QWidget* modal) {
    if (modal == nullptr || modal == this || parentWidget() == modal) {
        return;
    }
    const QRect frame = geometry();
    const bool wasShown = isVisible();
    if (QWidget* host = parentWidget()) {
        host->removeEventFilter(this);
    }
    setParent(modal, Qt::Window);
    modal->installEventFilter(this);
    if (wasShown) {
        setGeometry(frame);
    }
}

void THelpWindow::becomeOwnWindow() {
    QWidget* host = parentWidget();
    if (host == nullptr) {
        return;
    }
    host->removeEventFilter(this);
    const QRect frame = geometry();
    const bool wasShown = isVisible();
    setParent(nullptr, Qt::Window);
    setGeometry(frame);
    if (wasShown) {
        show();
    }
}

bool THelpWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowBlocked) {
        // Not from inside the event: moving the window recreates it.
        QTimer::singleShot(0, this, &THelpWindow::followActiveModal);
    }
    return QWidget::event(event);
}

void THelpWindow::followActiveModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !isVisible() || modal == parentWidget() || modal == this) {
        return;
    }
    showOver(modal);
    show();
}

bool THelpWindow::eventFilter(QObject* watched, QEvent* event) {
    // The dialog is going (hidden before it is destroyed): the help must not go with it.
    if (watched == parentWidget() && event->type() == QEvent::Hide) {
        becomeOwnWindow();
    }
    return QWidget::eventFilter(watched, event);
}

void openHelp(int topic) {
    auto& window = theHelpWindow();
    if (!window) {
        window = new THelpWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setAttribute(Qt::WA_QuitOnClose, false);
    }
    window->showTopic(topic);
    window->showOver(QApplication::activeModalWidget());
    window->show();
    window->raise();
    window->activateWindow();
}

THelpWindow* helpWindow() {
    return theHelpWindow().data();
}

void closeHelp() {
    if (auto& window = theHelpWindow()) {
        window->close();
    }
}
