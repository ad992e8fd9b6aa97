// The help window.
#include "app/gui/help_window.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

QPointer<THelpWindow>& theHelpWindow() {
    static QPointer<THelpWindow> window;
    return window;
}

// The width a picture is shown at when there is room: the width its page gives it, or its own.
constexpr int kFullWidth = QTextFormat::UserProperty + 1;

// A picture's own width in device-independent pixels (0 when it cannot be read).
double imageWidth(QTextDocument& document, const QTextImageFormat& picture) {
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(picture.name()));
    QImage image;
    if (resource.canConvert<QImage>()) {
        image = resource.value<QImage>();
    }
    if (image.isNull() && resource.canConvert<QPixmap>()) {
        image = resource.value<QPixmap>().toImage();
    }
    if (image.isNull() && resource.userType() == QMetaType::QByteArray) {
        image.loadFromData(resource.toByteArray());
    }
    return image.isNull() ? 0.0 : image.deviceIndependentSize().width();
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
        fitPictures();
    });
    browser_->installEventFilter(this);

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

void THelpWindow::showPage(const QString& page) {
    browser_->setSource(QUrl(QStringLiteral("qrc:/help/") + page));
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

void THelpWindow::fitPictures() {
    QTextDocument* document = browser_->document();
    // The width the text takes when the page scrolls, so that a picture never depends on
    // whether the scroll bar is shown (which would in turn depend on the pictures), less the
    // page's margins (the document's and the body's).
    const QTextFrameFormat page = document->rootFrame()->frameFormat();
    const double text = browser_->width() - 2 * browser_->frameWidth() -
                        browser_->verticalScrollBar()->sizeHint().width() - page.leftMargin() -
                        page.rightMargin() - 2 * page.padding() - 2 * page.border() - 1;
    if (text <= 0) {
        return;
    }
    struct Picture {
        int position;
        int length;
        QTextImageFormat format;
    };
    std::vector<Picture> changed;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || !fragment.charFormat().isImageFormat()) {
                continue;
            }
            QTextImageFormat picture = fragment.charFormat().toImageFormat();
            double full = picture.doubleProperty(kFullWidth);
            if (full <= 0) {
                full = picture.width() > 0 ? picture.width() : imageWidth(*document, picture);
                if (full <= 0) {
                    continue;
                }
                picture.setProperty(kFullWidth, full);
            }
            // Less the margins of the picture's paragraph.
            const QTextBlockFormat paragraph = block.blockFormat();
            const double room = text - paragraph.leftMargin() - paragraph.rightMargin() -
                                std::max(0.0, paragraph.textIndent()) -
                                paragraph.indent() * document->indentWidth();
            const double shown = std::max(1.0, std::min(full, room));
            if (picture.width() == shown && !picture.hasProperty(QTextFormat::ImageHeight)) {
                continue;
            }
            picture.setWidth(shown);
            picture.clearProperty(QTextFormat::ImageHeight); // in proportion to the width
            changed.push_back({fragment.position(), fragment.length(), picture});
        }
    }
    if (changed.empty()) {
        return;
    }
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const Picture& picture : changed) {
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + picture.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
    cursor.endEditBlock();
}

bool THelpWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == browser_ && event->type() == QEvent::Resize) {
        fitPictures();
    }
    // The dialog is going (hidden before it is destroyed): the help must not go with it.
    if (watched == parentWidget() && event->type() == QEvent::Hide) {
        becomeOwnWindow();
    }
    return QWidget::eventFilter(watched, event);
}

namespace {

void raiseHelp(const std::function<void(THelpWindow&)>& show) {
    auto& window = theHelpWindow();
    if (!window) {
        window = new THelpWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setAttribute(Qt::WA_QuitOnClose, false);
    }
    show(*window);
    window->showOver(QApplication::activeModalWidget());
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void openHelp(int topic) {
    raiseHelp([topic](THelpWindow& window) { window.showTopic(topic); });
}

void openHelpPage(const QString& page) {
    raiseHelp([&page](THelpWindow& window) { window.showPage(page); });
}

THelpWindow* helpWindow() {
    return theHelpWindow().data();
}

void closeHelp() {
    if (auto& window = theHelpWindow()) {
        window->close();
    }
}
