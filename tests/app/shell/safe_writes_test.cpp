// Every writer of the program and the tool under a fault-injecting layer: the create, each write,
// the sync, the close and the rename of its files fail in turn. For each fault the file that was
// there stays byte for byte, the failure is reported (a message in the program, a non-zero status
// in the tool), a document stays modified, and no temporary file is left. A new writer joins the
// test by one row in writers().
#include "app/debugger/debug_window.h"
#include "app/debugger/watch_panel.h"
#include "app/gui/file_dialogs.h"
#include "app/gui/notifier.h"
#include "app/gui/pattern_file_dialog.h"
#include "app/reference/step_study_dialog.h"
#include "app/shell/axolite_app.h"
#include "app/shell/file_association.h"
#include "app/shell/mdi_child.h"
#include "app/training/comparison_window.h"
#include "app/training/training_views.h"
#include "app/views/dynamics_view.h"
#include "app/views/graphs_view.h"
#include "app/views/numeric_view.h"
#include "cli/commands.h"
#include "core/simulation/neuron_model.h"
#include "core/training/pattern_file.h"

#include "app/editor/edit_file.h"
#include "app/shell/mdi_client.h"
#include "core/platform/folder_settings.h"
#include "core/platform/profile_file.h"
#include "test_frame.h"
#include "training_support.h"
#include "view_fixtures.h"
#include "write_faults.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>

using axolite::test::WriteCall;
using axolite::test::WriteFaults;

namespace {

const QString kEx = QStringLiteral(AXOLITE_EXAMPLES_DIR);

// What a writer did: whether it reported a failure, and for a writer of a document, whether the
// document is still marked modified.
struct Outcome {
    bool reported = false;
    std::optional<bool> modified;
};

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

struct Writer {
    QString name;
    QString file; // the target's name in the test's folder
    std::function<Outcome(const QString& target)> write;
};

// The tool in this process: its status, its output discarded.
Outcome tool(QStringList arguments) {
    arguments.prepend(QStringLiteral("axolite-cli"));
    std::vector<std::string> texts;
    for (const QString& argument : arguments) {
        texts.push_back(argument.toStdString());
    }
    std::vector<char*> argv;
    for (std::string& text : texts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);
    std::ostringstream out;
    std::ostringstream err;
    auto* savedOut = std::cout.rdbuf(out.rdbuf());
    auto* savedErr = std::cerr.rdbuf(err.rdbuf());
    const int status = axolite::cli::runCommandLine(static_cast<int>(texts.size()), argv.data());
    std::cout.rdbuf(savedOut);
    std::cerr.rdbuf(savedErr);
    return {status != 0, std::nullopt};
}

// A program's writer: whether it showed a message.
Outcome shown(const std::function<void()>& write) {
    Notifier::instance().clearCaptured();
    write();
    return {!Notifier::instance().captured().empty(), std::nullopt};
}

void answerFileDialogs(const QString& path) {
    axolite::gui::setFileChooser(
        [path](QWidget*, const axolite::gui::FileDialogRequest&) { return path; });
}

// A view of a description window with a simulated-looking record exports into the target.
template <typename View>
Outcome viewExport(const QString& target, const std::function<void(View&)>& exportFile) {
    FakeDescription window;
    window.setGrid(0.0, 2.0, 0.01);
    window.setSeries(axolite::language::SeriesFamily::Network, 0,
                     [](int j) { return std::sin(j * 0.01); });
    View view(&window);
    answerFileDialogs(target);
    return shown([&] { exportFile(view); });
}

QStringList run(const QStringList& more) {
    return QStringList{QStringLiteral("run"), kEx + QStringLiteral("/ring.net"),
                       QStringLiteral("--models"), kEx + QStringLiteral("/models")} +
           more;
}

QStringList plot(const QStringList& more) {
    QStringList arguments = run(more);
    arguments[0] = QStringLiteral("plot");
    return arguments;
}

// Every writer; the frame is lent to those that need one.
std::vector<Writer> writers(TAxoliteApp& frame) {
    using namespace axolite;
    const auto path = [](const QString& target) {
        return platform::pathFromUtf8(target.toStdString());
    };
    return {
        // The engine.
        {"pattern file", "p.ptn",
         [](const QString& t) {
             try {
                 training::writePatternFile(t.toStdString(), {0.5, -1.0, 2.0});
             } catch (const AxoliteError&) {
                 return Outcome{true, std::nullopt};
             }
             return Outcome{false, std::nullopt};
         }},
        {"profile file", "Axolite.ini",
         [path](const QString& t) {
             return Outcome{!platform::writeProfileString(path(t), "Files", "File1", "a.net"),
                            std::nullopt};
         }},
        {"neuron model file", "1.neu",
         [path](const QString& t) {
             simulation::ModelTexts texts;
             texts.field(0) = "1";
             texts.field(1) = "1";
             texts.field(2) = "0.5";
             return Outcome{!simulation::writeModel(path(t), simulation::ModelKind::Linear, texts),
                            std::nullopt};
         }},
        // The tool.
        {"run --csv", "ring.csv",
         [](const QString& t) {
             return tool(run({"--csv", t}));
         }},
        {"study --csv", "study.csv",
         [](const QString& t) {
             return tool({"study", "--rk", "0 1; -1 0", "--rk-init", "0 1", "--simtime", "0,1",
                          "--timestep", "0.1", "--exact", "1=sin(x)", "--halvings", "1", "--csv",
                          t});
         }},
        {"plot --png", "ring.png",
         [](const QString& t) {
             return tool(plot({"--png", t}));
         }},
        {"plot --svg", "ring.svg",
         [](const QString& t) {
             return tool(plot({"--svg", t}));
         }},
        {"train --curve", "curve.png",
         [](const QString& t) {
             return tool(xorArguments(20, 1) + QStringList{"--curve", t});
         }},
        {"train --write-net", "xor.net",
         [](const QString& t) {
             return tool(xorArguments(20, 1) + QStringList{"--write-net", t});
         }},
        {"train --record", "run.json",
         [](const QString& t) {
             return tool(xorArguments(20, 1) + QStringList{"--record", t});
         }},
        {"netgen", "euler.net",
         [](const QString& t) {
             return tool({"netgen", "--rk", "0 1; -1 0", "--rk-init", "0 1", "--simtime", "0,1",
                          "--timestep", "0.1", "--out", t});
         }},
        // The program.
        {"save of a description", "edited.net",
         [&frame](const QString& t) {
             TAxoliteMDIChild* child = frame.openDescription(t);
             child->editor()->insertPlainText(QStringLiteral("neurons 2;\n"));
             const Outcome outcome = shown([&] { frame.save(child); });
             const bool modified = child->isModified();
             child->editor()->setModified(false);
             child->close();
             return Outcome{outcome.reported, modified};
         }},
        {"graphs view as PNG", "graphs.png",
         [](const QString& t) {
             return viewExport<TAxoliteGraphs>(
                 t, [](auto& view) { view.exportPicture(views_gui::PictureFormat::Png); });
         }},
        {"graphs view as SVG", "graphs.svg",
         [](const QString& t) {
             return viewExport<TAxoliteGraphs>(
                 t, [](auto& view) { view.exportPicture(views_gui::PictureFormat::Svg); });
         }},
        {"dynamics view as PNG", "dynamics.png",
         [](const QString& t) {
             return viewExport<TNetworkDynamic>(
                 t, [](auto& view) { view.exportPicture(views_gui::PictureFormat::Png); });
         }},
        {"numeric view as CSV", "numeric.csv",
         [](const QString& t) {
             return viewExport<TAxoliteNumeric>(t, [](auto& view) { view.exportTable(); });
         }},
        {"debugger's watch table as CSV", "watch.csv",
         [&frame](const QString& t) {
             TAxoliteMDIChild* child =
                 openSimulated(frame, kEx + QStringLiteral("/wait_counts.net"));
             Outcome outcome;
             {
                 TDebugWindow debugger(child);
                 debugger.watches()->addOutputWatches();
                 answerFileDialogs(t);
                 outcome = shown([&] { debugger.watches()->exportTable(); });
             }
             child->close();
             return outcome;
         }},
        {"step-size study as CSV", "study.csv",
         [](const QString& t) {
             reference::LinearSystem system;
             TStepStudyDialog dialog(system, 1, reference::EulerGrid{0.0, 1.0, 0.1});
             reference::StepStudyRow row;
             row.h = 0.1;
             row.steps = 10;
             dialog.model()->setRows({row});
             answerFileDialogs(t);
             return shown([&] { dialog.exportTable(); });
         }},
        {"training results as CSV", "results.csv",
         [](const QString& t) {
             return shown([&] { training_ui::writeTextFile(t, QStringLiteral("a,b\n"), nullptr); });
         }},
        {"pattern file of a tool", "tool.ptn",
         [](const QString& t) {
             answerFileDialogs(t);
             return shown([&] {
                 gui::savePatternFile(nullptr, nullptr, QStringLiteral("..."), {1.0, 2.0});
             });
         }},
        {"trained network's description", "trained.net",
         [&frame](const QString& t) {
             TTeachNetwork dialog(&frame, &frame);
             setUpXor(dialog, 3, 10);
             click(dialog, IdTrain);
             answerFileDialogs(t);
             Notifier::instance().clearCaptured();
             click(dialog, IdWriteDescription);
             // A description written is opened in a window of its own.
             const bool opened = frame.activeChild() != nullptr;
             while (frame.activeChild() != nullptr) {
                 frame.activeChild()->close();
             }
             return Outcome{!opened && !Notifier::instance().captured().empty(), std::nullopt};
         }},
        {"comparison of training runs as a picture", "compare.svg",
         [](const QString& t) {
             TTeachNetwork dialog(nullptr);
             setUpXor(dialog, 3, 10);
             click(dialog, IdCompare);
             auto* window = dialog.findChild<training_ui::ComparisonWindow*>();
             window->compare();
             while (window->running()) {
                 QTest::qWait(10);
             }
             answerFileDialogs(t);
             return shown([&] { click(*window, training_ui::ComparisonWindow::IdSavePicture); });
         }},
        {"training experiment record", "experiment.json",
         [](const QString& t) {
             TTeachNetwork dialog(nullptr);
             setUpXor(dialog, 3, 10);
             click(dialog, IdTrain);
             answerFileDialogs(t);
             Notifier::instance().clearCaptured();
             return shown([&] { click(dialog, IdSaveExperiment); });
         }},
        {"file association", "mime/packages/axolite-network.xml",
         [](const QString& t) {
             const QString home = QFileInfo(t).absolutePath().section(u'/', 0, -3);
             return Outcome{!shell::writeFileAssociation(home, QStringLiteral("/usr/bin/axolite")),
                            std::nullopt};
         }},
    };
}

// The files under the folder with their bytes, by path relative to it.
std::map<QString, QByteArray> filesUnder(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        files[QDir(folder).relativeFilePath(file)] = f.readAll();
    }
    return files;
}

} // namespace

class SafeWritesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir profileDir_; // the frame's own profile, outside the folders under test
    std::unique_ptr<TAxoliteApp> frame_;

private slots:
    void init() {
        Notifier::instance().setCapturing(true);
        frame_ = std::make_unique<TAxoliteApp>(profileDir_.filePath(QStringLiteral("Axolite.ini")));
        frame_->show();
        auto& folders = frame_->client()->folders();
        folders.models = AXOLITE_EXAMPLES_DIR "/models";
        folders.set = true;
    }
    void cleanup() {
        frame_.reset();
        axolite::gui::setFileChooser({});
    }

    void everyFaultKeepsTheOldFileAndIsReported() {
        const QByteArray old = "the file that was there\n";
        for (const Writer& writer : writers(*frame_)) {
            // Written without a fault: what a complete file of each name holds, and the calls.
            std::map<QString, QByteArray> written;
            std::map<WriteCall, int> calls;
            {
                QTemporaryDir dir;
                const QString target = dir.filePath(writer.file);
                writeBytes(target, old);
                WriteFaults counting(dir.path().toStdString());
                const Outcome outcome = writer.write(target);
                QVERIFY2(!outcome.reported && !outcome.modified.value_or(false),
                         qPrintable(writer.name));
                for (WriteCall call : axolite::test::kWriteCalls) {
                    calls[call] = counting.count(call);
                }
                written = filesUnder(dir.path());
                QVERIFY2(written[writer.file] != old, qPrintable(writer.name));
            }
            QVERIFY2(calls[WriteCall::Create] > 0 && calls[WriteCall::Rename] > 0,
                     qPrintable(writer.name + QStringLiteral(": not through the safe writer")));
            for (WriteCall call : axolite::test::kWriteCalls) {
                for (int index = 0; index < calls[call]; ++index) {
                    const QString what =
                        writer.name + QStringLiteral(", failed ") +
                        QString::fromStdString(axolite::test::writeCallName(call)) +
                        QStringLiteral(" #") + QString::number(index);
                    QTemporaryDir dir;
                    const QString target = dir.filePath(writer.file);
                    writeBytes(target, old);
                    Outcome outcome;
                    {
                        WriteFaults fault(dir.path().toStdString(), call, index, EIO);
                        outcome = writer.write(target);
                        QVERIFY2(fault.fired(), qPrintable(what));
                    }
                    QVERIFY2(outcome.reported, qPrintable(what + QStringLiteral(": not told")));
                    QVERIFY2(outcome.modified.value_or(true),
                             qPrintable(what + QStringLiteral(": not modified")));
                    // Every file is the one that was there or a complete new one, and the one
                    // whose write failed is the old one.
                    bool oldKept = false;
                    for (const auto& [name, bytes] : filesUnder(dir.path())) {
                        const bool isOld = name == writer.file && bytes == old;
                        oldKept = oldKept || isOld;
                        QVERIFY2(isOld || (written.count(name) != 0 && written[name] == bytes),
                                 qPrintable(what + QStringLiteral(": left ") + name));
                    }
                    QVERIFY2(oldKept || writer.name == QStringLiteral("file association"),
                             qPrintable(what + QStringLiteral(": the old file is gone")));
                }
            }
        }
    }
};

QTEST_MAIN(SafeWritesTest)
#include "safe_writes_test.moc"
