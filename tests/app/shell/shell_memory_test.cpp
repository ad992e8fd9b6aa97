// When memory runs out in a second description window: every large allocation of the open, the
// check and the run is made to fail in turn, and each time the program shows the out-of-memory
// message (or the file cannot be read), nothing is thrown through the event loop, and the window
// checks and simulates afterwards as if nothing had happened.
#include "app/editor/edit_file.h"
#include "app/gui/calculation_progress.h"
#include "app/gui/command_ids.h"
#include "app/gui/notifier.h"
#include "app/language/translate_dialog.h"
#include "app/shell/axolite_app.h"
#include "app/shell/mdi_child.h"
#include "core/simulation/simulation.h"

#include "sample_texts.h"
#include "test_frame.h"
#include <QtTest>

#include <cstdlib>
#include <new>

using namespace axolite::gui;

namespace {

// Allocations through operator new of at least kLarge bytes are counted while failing is armed;
// the one numbered failAt (from 0) throws std::bad_alloc. Qt's own strings and arrays allocate
// with malloc and are not touched.
constexpr std::size_t kLarge = 8 * 1024;
bool armed = false;
int failAt = -1;
int largeSeen = 0;

struct FailingAllocations {
    explicit FailingAllocations(int which) {
        failAt = which;
        largeSeen = 0;
        armed = true;
    }
    ~FailingAllocations() { armed = false; }
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;
};

// 60 neurons, each connected to every other, over 2,000 steps: the token stream, the checker's
// lists and the run's arrays are all large allocations.
QString denseNetwork() {
    QString text = QStringLiteral("neurons 60;\nsimtime 0, 20;\ntimestep 0.01;\n"
                                  "initstate {neuron 1, 1;}\noutputlayer {neuron 2, weight 1;}\n"
                                  "networklayout {\n");
    for (int k = 1; k <= 60; ++k) {
        for (int j = 1; j <= 60; ++j) {
            text += QStringLiteral("neuron %1, neuron %2, weight 0.001;\n").arg(k).arg(j);
        }
    }
    return text + QStringLiteral("}\nend\n");
}

} // namespace

void* operator new(std::size_t size) {
    if (armed && size >= kLarge && largeSeen++ == failAt) {
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

// Every other form takes its memory from the same place, so that whatever frees a block (Qt frees
// some of what it allocated without throwing) matches what allocated it. Only the plain form fails.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

class ShellMemoryTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TAxoliteApp> frame_;

    const std::vector<axolite::Message>& captured() { return Notifier::instance().captured(); }

    // The check command and "Посчитать ..." on the window; answers whether the run completed.
    bool checkAndRun(TAxoliteMDIChild* child) {
        frame_->client()->setActiveSubWindow(child);
        frame_->execute(CmCheck);
        TTranslateDialog* check = child->checkWindow();
        if (check == nullptr) {
            return false;
        }
        check->calculate();
        return child->record().simulated != 0;
    }

private slots:
    void init() { frame_ = testFrame(dir_); }
    void cleanup() { frame_.reset(); }

    void everyFailedAllocationIsReportedAndTheWindowStaysUsable() {
        // A first description, simulated.
        TAxoliteMDIChild* first = frame_->newDescription();
        first->editor()->setPlainText(QString::fromUtf8(kCorrect));
        QVERIFY(checkAndRun(first));
        const QString file = dir_.filePath(QStringLiteral("dense.net"));
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(denseNetwork().toUtf8());
        }

        const auto outOfMemory = axolite::simulation::outOfMemoryMessage();
        int failures = 0;
        for (int which = 0;; ++which) {
            Notifier::instance().clearCaptured();
            QPointer<TAxoliteMDIChild> second;
            bool ran = false;
            int large = 0;
            try {
                const FailingAllocations failing(which);
                second = frame_->openDescription(file);
                ran = second && checkAndRun(second);
                large = largeSeen;
            } catch (const std::exception& e) {
                QFAIL(qPrintable(QStringLiteral("allocation %1 threw %2 out of the frame")
                                     .arg(which)
                                     .arg(QString::fromUtf8(e.what()))));
            }
            if (which >= large) {
                // Nothing failed any more: the whole way was taken.
                QVERIFY(ran);
                QVERIFY(captured().empty());
                break;
            }
            ++failures;
            if (ran) {
                // A failure that cost the user nothing (the recent-files list was not written).
                QVERIFY(captured().empty());
                second->checkWindow()->close();
                second->close();
                QTRY_VERIFY(!second);
                continue;
            }
            // The failure was told, once, in the program's words.
            QCOMPARE(captured().size(), std::size_t{1});
            const bool unreadable = second == nullptr;
            if (unreadable) {
                QVERIFY(QString::fromStdString(captured()[0].text)
                            .startsWith(QStringLiteral("Невозможно прочитать файл")));
            } else {
                QCOMPARE(captured()[0], outOfMemory);
                QVERIFY(!ran);
                // The window goes on: its check window closes, and a new check and run work.
                if (TTranslateDialog* check = second->checkWindow()) {
                    check->close();
                }
                Notifier::instance().clearCaptured();
                QVERIFY2(checkAndRun(second), qPrintable(QString::number(which)));
                QVERIFY(captured().empty());
                second->checkWindow()->close();
                second->close();
            }
            QTRY_VERIFY(!second);
            QVERIFY(first->record().simulated != 0); // the first window was not touched
        }
        QVERIFY(failures >= 5); // the open, the lexer, the checker, the preparation, the run
    }
};

QTEST_MAIN(ShellMemoryTest)
#include "shell_memory_test.moc"
