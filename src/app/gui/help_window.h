// The help: Russian HTML pages compiled into the program, shown in one help window. Topic 0 is
// the contents; any other topic is the page of the command or dialog with that identifier
// (the contents when there is none).
#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

// The help window (one per run, created on first use).
class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* parent = nullptr);

    void showTopic(int topic);
    // A page of the help by its name, with an optional section: "training-lint.html#rule".
    void showPage(const QString& page);
    QUrl currentPage() const;
    QString currentTitle() const;

    static QUrl topicUrl(int topic);
    static bool hasTopic(int topic);

    // A modal dialog blocks every window that is not its own: help asked for while one is open
    // is shown as a window of that dialog, and becomes a window of its own again (where it
    // stood) when the dialog goes.
    void showOver(QWidget* modal);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Blocked by a modal dialog opened over the one it belongs to (or left to the lower of two
    // stacked dialogs when the upper goes): it moves to the dialog now on top, so that help
    // asked for from a lower dialog never waits for the dialog above it.
    bool event(QEvent* event) override;

private:
    // Pictures wider than the page's width are shown scaled down to it (keeping their
    // proportions), so that none is cut off; each keeps the width its page or its file gives it
    // as the most it is shown at. Done when a page loads and whenever the window is resized.
    void fitPictures();
    void becomeOwnWindow();
    void followActiveModal();

    QTextBrowser* browser_;
};

// Opens the help window on a topic (0: contents) and raises it. Every "Помощь" button calls it.
void openHelp(int topic = 0);

// Opens the help window on a named page (and section) and raises it.
void openHelpPage(const QString& page);

// The help window when help was opened during the run, otherwise nullptr.
THelpWindow* helpWindow();

// Closes the help window when help was opened during the run (at exit).
void closeHelp();
