// Description files through the frame: reading UTF-8 and code page 1251 files and saving them in
// the encoding they came in, saving and the unsaved-changes question (nothing lost on a failed
// save or a cancel), the recent-files list in Axolite.ini, and files dropped on the frame.
#include "app/editor/edit_file.h"
#include "app/gui/computation_guard.h"
#include "app/gui/notifier.h"
#include "app/shell/axolite_app.h"
#include "app/shell/command_table.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"
#include "core/language/description_text.h"
#include "core/platform/profile_file.h"

#include <QAction>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

using namespace axolite::shell;
using axolite::MessageKind;
using axolite::language::TextEncoding;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// "// Сеть\r\nneurons 2;\r\nend" in code page 1251.
const QByteArray kCp1251Crlf("// \xD1\xE5\xF2\xFC\r\nneurons 2;\r\nend");

} // namespace

class ShellFilesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TAxoliteApp> frame_;
    QString path(const QString& name) const { return dir_.filePath(name); }
    const std::vector<axolite::Message>& captured() { return Notifier::instance().captured(); }

private slots:
    void init() {
        Notifier::instance().setCapturing(true);
        Notifier::instance().clearCaptured();
        QFile::remove(path(QStringLiteral("Axolite.ini")));
        frame_ = std::make_unique<TAxoliteApp>(path(QStringLiteral("Axolite.ini")));
        frame_->show();
    }
    void cleanup() { frame_.reset(); }

    void utf8FileIsShownAndSavedAsUtf8() {
        const QString file = path(QStringLiteral("utf8.net"));
        writeAll(file, QStringLiteral("// Сеть № 1 ✓\nneurons 2;\nend\n").toUtf8());
        TAxoliteMDIChild* child = frame_->openDescription(file);
        QVERIFY(child != nullptr);
        QCOMPARE(child->encoding(), TextEncoding::Utf8);
        QCOMPARE(child->editor()->toPlainText(),
                 QStringLiteral("// Сеть № 1 ✓\nneurons 2;\nend\n"));
        QVERIFY(!child->isModified());
        QVERIFY(!frame_->command(CmFileSave)->isEnabled());

        child->editor()->moveCursor(QTextCursor::End);
        child->editor()->insertPlainText(QStringLiteral("// ещё"));
        QVERIFY(child->isModified());
        frame_->execute(CmFileSave);
        QVERIFY(!child->isModified());
        QCOMPARE(readAll(file), QStringLiteral("// Сеть № 1 ✓\nneurons 2;\nend\n// ещё").toUtf8());
    }

    void cp1251FileIsDecodedAndSavedInCp1251WithItsLineEnds() {
        const QString file = path(QStringLiteral("cp1251.net"));
        writeAll(file, kCp1251Crlf);
        TAxoliteMDIChild* child = frame_->openDescription(file);
        QVERIFY(child != nullptr);
        QCOMPARE(child->encoding(), TextEncoding::Cp1251);
        QVERIFY(child->usesCrLf());
        QCOMPARE(child->editor()->toPlainText(), QStringLiteral("// Сеть\nneurons 2;\nend"));
        // The lexer sees the same bytes the file holds.
        QCOMPARE(child->editor()->linesCp1251().front(), std::string("// \xD1\xE5\xF2\xFC"));

        QVERIFY(child->saveTo(file));
        QCOMPARE(readAll(file), kCp1251Crlf);
    }

    // A file of mixed line ends keeps each line's own; a line added takes the kind most lines
    // had. Any file opened and saved unmodified is written back byte for byte.
    void savingKeepsEveryLinesEnd() {
        const QString file = path(QStringLiteral("mixed.net"));
        writeAll(file, "neurons 2;\r\nsimtime 0, 1;\nend\r\n");
        TAxoliteMDIChild* child = frame_->openDescription(file);
        QVERIFY(child != nullptr);
        child->editor()->moveCursor(QTextCursor::Down);
        child->editor()->moveCursor(QTextCursor::EndOfLine);
        child->editor()->insertPlainText(QStringLiteral("\ntimestep 0.5;"));
        frame_->execute(CmFileSave);
        QCOMPARE(readAll(file),
                 QByteArray("neurons 2;\r\nsimtime 0, 1;\r\ntimestep 0.5;\nend\r\n"));

        // A megabyte of random bytes (code page 1251, every kind of line end).
        QByteArray bytes(1 << 20, Qt::Uninitialized);
        QRandomGenerator random(3);
        for (char& b : bytes) {
            b = static_cast<char>(random.bounded(256u));
        }
        const QString binary = path(QStringLiteral("binary.net"));
        const QString copy = path(QStringLiteral("copy.net"));
        writeAll(binary, bytes);
        TAxoliteMDIChild* opened = frame_->openDescription(binary);
        QVERIFY(opened != nullptr);
        frame_->chooseSaveFile = [&copy](QWidget*, const QString&) { return copy; };
        frame_->execute(CmFileSaveAs);
        QVERIFY(readAll(copy) == bytes);
    }

    void everyCharacterSurvivesARoundTrip() {
        // No-break spaces, tabs, a line separator inside a line, an empty last line.
        const QString text = QStringLiteral("a\u00A0b\tc\u2028d\n\n");
        const QString file = path(QStringLiteral("chars.net"));
        writeAll(file, text.toUtf8());
        TAxoliteMDIChild* child = frame_->openDescription(file);
        QVERIFY(child != nullptr);
        QCOMPARE(child->editor()->documentLines(), (QStringList{"a\u00A0b\tc\u2028d", "", ""}));
        QVERIFY(child->saveTo(file));
        QCOMPARE(readAll(file), text.toUtf8());
        // The encoding chosen is the one the lexer's file reader chooses.
        for (const QByteArray& bytes : {text.toUtf8(), kCp1251Crlf,
                                        QByteArray("\xEF\xBB\xBF"
                                                   "ab")}) {
            writeAll(file, bytes);
            TAxoliteMDIChild* again = frame_->openDescription(file);
            QCOMPARE(again->encoding(),
                     axolite::language::decodeDescription(bytes.toStdString()).encoding);
        }
    }

    void characterOutsideCp1251IsNotLostOnSave() {
        const QString file = path(QStringLiteral("mixed.net"));
        writeAll(file, kCp1251Crlf);
        TAxoliteMDIChild* child = frame_->openDescription(file);
        QVERIFY(child != nullptr);
        child->editor()->moveCursor(QTextCursor::End);
        child->editor()->insertPlainText(QStringLiteral(" ✓"));
        QVERIFY(child->saveTo(file));
        QCOMPARE(child->encoding(), TextEncoding::Utf8);
        QCOMPARE(QString::fromUtf8(readAll(file)),
                 QStringLiteral("// Сеть\r\nneurons 2;\r\nend ✓"));
    }

    void unreadableFileSaysSoAndOpensNoWindow() {
        const QString missing = path(QStringLiteral("missing.net"));
        QVERIFY(frame_->openDescription(missing) == nullptr);
        QCOMPARE(captured().size(), std::size_t{1});
        QCOMPARE(
            captured()[0],
            (axolite::Message{
                MessageKind::Error,
                ("Невозможно прочитать файл " + QDir::toNativeSeparators(missing)).toStdString()}));
        QVERIFY(frame_->client()->subWindowList().isEmpty());
        QVERIFY(frame_->recentFiles().entries().isEmpty());
    }

    void failedSaveKeepsTheTextModified() {
        TAxoliteMDIChild* child = frame_->newDescription();
        child->editor()->insertPlainText(QStringLiteral("neurons 2;"));
        const QString target = path(QStringLiteral("no/such/folder/x.net"));
        QVERIFY(!child->saveTo(target));
        QVERIFY(child->isModified());
        QVERIFY(child->path().isEmpty());
        QCOMPARE(
            captured().back(),
            (axolite::Message{
                MessageKind::Error,
                ("Невозможно записать файл " + QDir::toNativeSeparators(target)).toStdString()}));
    }

    void saveAsAddsTheDefaultExtension() {
        TAxoliteMDIChild* child = frame_->newDescription();
        child->editor()->insertPlainText(QStringLiteral("neurons 2;"));
        frame_->chooseSaveFile = [&](QWidget*, const QString&) { return path("named"); };
        frame_->execute(CmFileSave); // a new description asks for a name
        QCOMPARE(child->path(), path("named.net"));
        QCOMPARE(readAll(path("named.net")), QByteArray("neurons 2;"));
        frame_->chooseSaveFile = [](QWidget*, const QString&) { return QString(); };
        frame_->execute(CmFileSaveAs); // cancelled: nothing changes
        QCOMPARE(child->path(), path("named.net"));
    }

    void closingAChangedDescriptionAsks_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::newRow("yes saves") << int(Notifier::Answer::Yes) << true << QByteArray("old new");
        QTest::newRow("no discards") << int(Notifier::Answer::No) << true << QByteArray("old");
        QTest::newRow("cancel keeps")
            << int(Notifier::Answer::Cancel) << false << QByteArray("old");
    }
    void closingAChangedDescriptionAsks() {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(QByteArray, onDisk);
        const QString file = path(QStringLiteral("ask.net"));
        writeAll(file, "old");
        QPointer<TAxoliteMDIChild> child = frame_->openDescription(file);
        child->editor()->moveCursor(QTextCursor::End);
        child->editor()->insertPlainText(QStringLiteral(" new"));
        Notifier::instance().clearCaptured();
        Notifier::instance().queueChoice(static_cast<Notifier::Answer>(answer));
        frame_->execute(CmFileClose);
        QCOMPARE(captured().size(), std::size_t{1});
        QCOMPARE(captured()[0].kind, MessageKind::Question);
        QCOMPARE(QString::fromStdString(captured()[0].text),
                 QStringLiteral("Содержимое файла %1 изменено.\n\nСохранить изменения?")
                     .arg(QDir::toNativeSeparators(file)));
        QTRY_COMPARE(child.isNull(), closed);
        QCOMPARE(readAll(file), onDisk);
    }

    void exitAsksForEveryChangedDescriptionAndCancelKeepsAll() {
        TAxoliteMDIChild* first = frame_->newDescription();
        first->editor()->insertPlainText(QStringLiteral("neurons 1;"));
        TAxoliteMDIChild* second = frame_->newDescription();
        second->editor()->insertPlainText(QStringLiteral("neurons 2;"));
        Notifier::instance().queueChoice(Notifier::Answer::No);
        Notifier::instance().queueChoice(Notifier::Answer::Cancel);
        QVERIFY(!frame_->close());
        QCOMPARE(captured().size(), std::size_t{2});
        QVERIFY(frame_->isVisible());
        QTRY_COMPARE(frame_->client()->children().size(), 1);
        QCOMPARE(frame_->client()->children()[0]->editor()->toPlainText(),
                 QStringLiteral("neurons 2;"));
    }

    void aRunningComputationDefersTheClose() {
        QPointer<TAxoliteMDIChild> child = frame_->newDescription();
        {
            axolite::gui::ComputationGuard guard(child->record());
            QVERIFY(!child->close());
            QVERIFY(child->record().cancelRequested != 0); // the computation is asked to stop
            QTest::qWait(20);
            QVERIFY(child); // still open while the computation runs
        }
        QTRY_VERIFY(child.isNull()); // closed once it ended
        QVERIFY(captured().empty());
    }

    void unchangedDescriptionClosesWithoutAQuestion() {
        QPointer<TAxoliteMDIChild> child = frame_->newDescription();
        frame_->execute(CmFileClose);
        QTRY_VERIFY(child.isNull());
        QVERIFY(captured().empty());
    }

    void recentFilesKeepFourNewestInTheProfile() {
        QStringList files;
        for (int i = 1; i <= 5; ++i) {
            files << path(QStringLiteral("r%1.net").arg(i));
            writeAll(files.back(), "neurons 1;");
            QVERIFY(frame_->openDescription(files.back()) != nullptr);
        }
        frame_->openDescription(files[2]); // opened again: moves to the top, no duplicate
        const QStringList expected{files[2], files[4], files[3], files[1]};
        QCOMPARE(frame_->recentFiles().entries(), expected);

        const auto ini = std::filesystem::path(path("Axolite.ini").toStdString());
        QCOMPARE(axolite::platform::readProfileString(ini, "MRU", "Count"), std::string("4"));
        QCOMPARE(axolite::platform::readProfileString(ini, "mru", "file1"), files[2].toStdString());

        // The menu shows them, and a new run reads them back.
        QAction* first = frame_->findChild<QAction*>(QStringLiteral("mru1"));
        QVERIFY(first != nullptr);
        QVERIFY(first->text().endsWith(QDir::toNativeSeparators(files[2])));
        frame_.reset();
        TAxoliteApp again(path(QStringLiteral("Axolite.ini")));
        QCOMPARE(again.recentFiles().entries(), expected);

        // Choosing an entry whose file has gone tells so and drops it.
        QFile::remove(files[4]);
        again.findChild<QAction*>(QStringLiteral("mru2"))->trigger();
        QCOMPARE(again.recentFiles().entries(), (QStringList{files[2], files[3], files[1]}));
    }

    void damagedProfileGivesAnEmptyList() {
        writeAll(path("Axolite.ini"), "[MRU]\r\nCount=banana\r\nFile1=x\r\n");
        TAxoliteApp frame(path("Axolite.ini"));
        QVERIFY(frame.recentFiles().entries().isEmpty());
        writeAll(path("Axolite.ini"), "[MRU]\r\nCount=99\r\nFile1=a.net\r\n");
        TAxoliteApp other(path("Axolite.ini"));
        QCOMPARE(other.recentFiles().entries(), QStringList{"a.net"});
    }

    void droppedFilesOpenEachInItsWindow() {
        QStringList files;
        for (int i = 1; i <= 2; ++i) {
            files << path(QStringLiteral("d%1.net").arg(i));
            writeAll(files.back(), "neurons 1;");
        }
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(files[0]), QUrl::fromLocalFile(files[1])});
        QWidget* viewport = frame_->client()->viewport();
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QApplication::sendEvent(viewport, &drop);
        QCOMPARE(frame_->client()->children().size(), 2);
        QCOMPARE(frame_->client()->children()[1]->path(), files[1]);
    }

    void openedTextCannotBeUndoneButLaterEditsCan() {
        const QString file = path(QStringLiteral("undo.net"));
        writeAll(file, "neurons 2;\r\nend\r\n");
        TAxoliteMDIChild* child = frame_->openDescription(file);
        QVERIFY(child != nullptr);
        TAxoliteEditFile* editor = child->editor();
        QVERIFY(!editor->isUndoAvailable());
        QVERIFY(!frame_->command(CmEditUndo)->isEnabled());
        QVERIFY(!child->isModified());
        QCOMPARE(editor->caretLine(), 0);
        QCOMPARE(editor->caretPosition(), 0);
        editor->undo(); // nothing to undo: the text stays
        QCOMPARE(editor->toPlainText(), QStringLiteral("neurons 2;\nend\n"));
        QVERIFY(!child->isModified());

        editor->moveCursor(QTextCursor::End);
        editor->insertPlainText(QStringLiteral("// ещё"));
        QCOMPARE(editor->caretLine(), 2);
        QVERIFY(frame_->command(CmEditUndo)->isEnabled());
        editor->undo(); // back to the text as opened, and unmodified again
        QCOMPARE(editor->toPlainText(), QStringLiteral("neurons 2;\nend\n"));
        QVERIFY(!child->isModified());
        QVERIFY(!editor->isUndoAvailable());
    }

    void longTextIsShownWholeWithItsScrollBar() {
        QByteArray text;
        for (int i = 0; i < 3000; ++i) {
            text += "  neuron " + QByteArray::number(i) + ", weight 0.5; // нейрон\n";
        }
        const QString file = path(QStringLiteral("long.net"));
        writeAll(file, text);
        TAxoliteMDIChild* child = frame_->openDescription(file);
        QVERIFY(child != nullptr);
        TAxoliteEditFile* editor = child->editor();
        QCOMPARE(editor->lineCount(), 3001);
        QCOMPARE(editor->toPlainText(), QString::fromUtf8(text));
        QCOMPARE(editor->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QTRY_VERIFY(editor->verticalScrollBar()->isVisible());
        QCOMPARE(editor->verticalScrollBar()->value(), 0); // the start is shown
        QCOMPARE(editor->caretLine(), 0);

        // A short text leaves no scroll bar behind.
        const QString small = path(QStringLiteral("small.net"));
        writeAll(small, "neurons 1;\nend\n");
        TAxoliteMDIChild* other = frame_->openDescription(small);
        QVERIFY(other != nullptr);
        QCOMPARE(other->editor()->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QTRY_VERIFY(!other->editor()->verticalScrollBar()->isVisible());
    }

    void lexerReceivesTheLinesTheFileReaderGives_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QByteArray("neurons 2;\nsimtime 0, 1;\n\nend");
        QTest::newRow("cyrillic utf-8")
            << QStringLiteral("// Сеть\nneurons 2; // два нейрона\nend\n").toUtf8();
        QTest::newRow("outside the code page")
            << QStringLiteral("// ✓ 𝄞 Ω\n\tneuron 1,\u00A0weight 1;\n\u2028\nЁё").toUtf8();
        QTest::newRow("crlf code page 1251") << kCp1251Crlf + "\r\n\r\n";
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF// \xD0\xAF\nend");
        QTest::newRow("empty") << QByteArray();
    }
    void lexerReceivesTheLinesTheFileReaderGives() {
        QFETCH(QByteArray, bytes);
        const QString file = path(QStringLiteral("lines.net"));
        writeAll(file, bytes);
        TAxoliteMDIChild* child = frame_->openDescription(file);
        QVERIFY(child != nullptr);
        const auto expected = axolite::language::decodeDescription(bytes.toStdString()).lineList();
        QCOMPARE(child->editor()->linesCp1251(), expected);
        // Typed text reaches the lexer the same way.
        TAxoliteMDIChild* typed = frame_->newDescription();
        typed->editor()->insertPlainText(child->editor()->rawText());
        QCOMPARE(typed->editor()->linesCp1251(), expected);
    }

    void openedLinesGoToTheLexerAsReadUntilEdited() {
        // Code page 1251 with its one unassigned byte: the lexer sees it as the file holds it.
        const QByteArray bytes("// a\x98z\r\nneurons 2;\r\nend");
        const QString file = path(QStringLiteral("unassigned.net"));
        writeAll(file, bytes);
        TAxoliteMDIChild* child = frame_->openDescription(file);
        QVERIFY(child != nullptr);
        TAxoliteEditFile* editor = child->editor();
        std::vector<std::string> expected{"// a\x98z", "neurons 2;", "end"};
        QCOMPARE(editor->linesCp1251(), expected);

        // An edited line is converted anew, the others stay as read.
        editor->moveCursor(QTextCursor::Down);
        editor->moveCursor(QTextCursor::EndOfLine);
        editor->insertPlainText(QStringLiteral(" // Ж"));
        expected[1] = "neurons 2; // \xC6";
        QCOMPARE(editor->linesCp1251(), expected);
        editor->moveCursor(QTextCursor::Start);
        editor->insertPlainText(QStringLiteral("/"));
        expected[0] = "/// a\x98z"; // the unassigned byte survives the round trip
        QCOMPARE(editor->linesCp1251(), expected);
        // Lines split and joined.
        editor->moveCursor(QTextCursor::End);
        editor->insertPlainText(QStringLiteral("\nx"));
        expected.push_back("x");
        QCOMPARE(editor->linesCp1251(), expected);
        editor->undo();
        editor->undo();
        editor->undo();
        expected = {"// a\x98z", "neurons 2;", "end"};
        QCOMPARE(editor->linesCp1251(), expected);
        // Saved in the code page, the file is byte for byte what was read.
        QVERIFY(!child->isModified());
        QVERIFY(child->saveTo(file));
        QCOMPARE(readAll(file), bytes);
    }

    void findAndReplaceInTheEditor() {
        TAxoliteMDIChild* child = frame_->newDescription();
        TAxoliteEditFile* editor = child->editor();
        editor->setPlainText(QStringLiteral("neuron 1, neuron 2;\nNEURON 3;"));
        editor->moveCursor(QTextCursor::Start);
        QVERIFY(editor->find(QStringLiteral("neuron"), {}));
        QVERIFY(editor->find(QStringLiteral("neuron"), {}));
        QVERIFY(editor->find(QStringLiteral("neuron"), {})); // case-insensitive: NEURON
        QCOMPARE(editor->caretLine(), 1);
        QVERIFY(editor->find(QStringLiteral("neuron"), {})); // wraps around
        QCOMPARE(editor->caretLine(), 0);
        QVERIFY(!editor->find(QStringLiteral("weight"), {}));
        QCOMPARE(editor->replaceAll(QStringLiteral("neuron"), QStringLiteral("нейрон"),
                                    QTextDocument::FindCaseSensitively),
                 2);
        QCOMPARE(editor->toPlainText(), QStringLiteral("нейрон 1, нейрон 2;\nNEURON 3;"));
        editor->undo(); // one step for all
        QCOMPARE(editor->toPlainText(), QStringLiteral("neuron 1, neuron 2;\nNEURON 3;"));
    }
};

QTEST_MAIN(ShellFilesTest)
#include "shell_files_test.moc"
