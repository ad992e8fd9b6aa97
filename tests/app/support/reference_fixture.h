// What the reference dialogs' tests share: a record on a grid with some outputs present, the
// file dialog answered with a path, and files read whole.
#pragma once

#include "app/gui/file_dialogs.h"
#include "app/gui/notifier.h"
#include "app/reference/reference_dialog.h"
#include "core/language/network_record.h"
#include "dialog_controls.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QtTest>

#include <string>

// A record as a completed simulation leaves it: the grid [t0, t1) with step h and the first
// `outputs` network presence flags raised.
inline axolite::language::NetworkRecord gridRecord(double t0, double t1, double h, int outputs) {
    axolite::language::NetworkRecord record;
    record.t0 = t0;
    record.t1 = t1;
    record.h = h;
    for (int k = 0; k < outputs; ++k) {
        record.networkPresent[static_cast<std::size_t>(k)] = 1;
    }
    record.simulated = 1;
    return record;
}

// Before each test: message boxes captured, nothing remembered, file dialogs answered by the
// platform's (until a test answers them).
inline void startReferenceTest() {
    Notifier::instance().setCapturing(true);
    Notifier::instance().clearCaptured();
    TReferenceDialog::forgetRememberedValues();
    axolite::gui::setFileChooser({});
}

inline bool enabled(QWidget& dialog, const char* id) {
    return control<QWidget>(dialog, id)->isEnabled();
}

inline void click(QWidget& dialog, const char* id) {
    QTest::mouseClick(control<QPushButton>(dialog, id), Qt::LeftButton);
}

// Every file dialog answers this path (an empty path: the user cancelled).
inline void answerFileDialogs(const QString& path) {
    axolite::gui::setFileChooser(
        [path](QWidget*, const axolite::gui::FileDialogRequest&) { return path; });
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline QByteArray fileBytes(const std::string& path) {
    return fileBytes(QString::fromStdString(path));
}

#include "app/gui/calculation_progress.h"

#include <QChildEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

// Presses "Прервать" of the next progress dialog shown over the dialog as soon as its bar reaches
// the percentage, as a user would; seen() tells the percentage it was pressed at.
class InterruptAt : public QObject {
public:
    InterruptAt(QWidget& dialog, int percent) : percent_(percent) {
        dialog.installEventFilter(this);
    }
    int seen() const { return seen_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ChildPolished) {
            auto* progress =
                qobject_cast<TCalculationProgress*>(static_cast<QChildEvent*>(event)->child());
            if (progress != nullptr && !hooked_) {
                hooked_ = true;
                auto* bar = progress->findChild<QProgressBar*>(QStringLiteral("209"));
                connect(bar, &QProgressBar::valueChanged, progress, [this, progress](int value) {
                    if (value >= percent_ && seen_ < 0) {
                        seen_ = value;
                        QTest::mouseClick(progress->findChild<QPushButton*>(QStringLiteral("2")),
                                          Qt::LeftButton);
                    }
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int percent_;
    int seen_ = -1;
    bool hooked_ = false;
};

// Types the text into the field as a user would (an empty text: the field is cleared).
inline void type(QWidget& dialog, const char* id, const QString& text) {
    auto* field = control<QLineEdit>(dialog, id);
    field->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(field, Qt::Key_Delete);
    }
    QTest::keyClicks(field, text);
}

// Shows the dialog, types the text into the field and presses "Посчитать ..."; "Прервать" is
// pressed when the bar reaches 40 %. Then the interrupted state: the request stands, the
// computation may be repeated and no pattern file written.
inline void computeAndInterruptAt40(QWidget& dialog, axolite::language::NetworkRecord& record,
                                    const char* id, const QString& text) {
    dialog.show();
    type(dialog, id, text);
    InterruptAt interrupt(dialog, 40);
    click(dialog, "137");
    QCOMPARE(interrupt.seen(), 40);
    QCOMPARE(record.cancelRequested, std::uint8_t{1});
    QVERIFY(enabled(dialog, "137"));
    QVERIFY(!enabled(dialog, "1138"));
}
