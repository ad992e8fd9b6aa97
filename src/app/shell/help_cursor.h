// The help cursor of the frame (Shift+F1): while it is on, the next command chosen shows its help
// topic instead of running, and Escape leaves it. Also F1 on a highlighted menu item, which opens
// that command's topic.
#pragma once

#include <QObject>

class QMenu;

class THelpCursor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~THelpCursor() override;

    void start();
    void stop();
    bool active() const { return active_; }
    // F1 on a highlighted item of this menu opens that command's topic.
    void watchMenu(QMenu* menu);

signals:
    // The cursor went on or off: every command is enabled while it is on.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool active_ = false;
};
