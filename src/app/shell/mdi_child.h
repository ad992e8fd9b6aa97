// A description window: the editor of one description file, its document (the file's path and
// encoding, DescriptionDocument) and the network description record that every tool of this
// description works on.
#pragma once

#include "app/gui/description_window.h"
#include "app/shell/description_document.h"
#include "core/language/description_text.h"

#include <QPointer>

#include <functional>
#include <memory>

class TAxoliteEditFile;
class TTranslateDialog;

class TAxoliteMDIChild : public DescriptionWindow {
    Q_OBJECT
public:
    explicit TAxoliteMDIChild(int slot, QWidget* parent = nullptr);
    ~TAxoliteMDIChild() override;

    TAxoliteEditFile* editor() const { return editor_; }
    axolite::language::NetworkRecord& record() override { return *record_; }
    const axolite::language::NetworkRecord& record() const override { return *record_; }
    // The window's slot in the client's table (0..20).
    int slot() const { return slot_; }

    // The file's path; empty for a description never saved.
    const QString& path() const override { return document_.path(); }
    // What messages and captions call the file: its path, or "Без имени" for a new description.
    QString displayName() const override;
    axolite::language::TextEncoding encoding() const { return document_.encoding(); }
    // Most lines of the file ended with "\r\n" (lines the user adds get that line end).
    bool usesCrLf() const;
    bool isModified() const;

    // Reads the file into the editor: UTF-8 when valid, code page 1251 otherwise. The window is
    // shown once the file has been read, before its text goes in. On failure shows
    // "Невозможно прочитать файл %s", stays hidden and answers false.
    bool load(const QString& path);
    // Writes the editor's text to path (through a temporary file), in the encoding the file came
    // in. On failure shows "Невозможно записать файл %s", keeps the text modified, answers false.
    bool saveTo(const QString& path);

    // The check window while it is open.
    TTranslateDialog* checkWindow() const;
    QWidget* checkWidget() const override;
    void setCheckWidget(QWidget* window) override;
    bool checkOpen() const override;
    const axolite::language::DescriptionText* checkText() override;
    // Shows the window with the editor's caret at the start of the line (counted from 1), as a
    // row of the check window asks.
    void showLine(int line) override;
    QString lineText(int line) const override;
    const axolite::language::CheckResult* checkResult() const override;
    const axolite::simulation::Simulation* simulation() const override;
    // The editor marks the lines.
    void highlightLines(const std::vector<std::int32_t>& lines) override;

    // True while a long computation works on this description's record.
    bool computing() const override;
    // Asks the computation on this description to stop, without closing the window when it has
    // (the frame closes every window itself then). A close requested earlier is dropped.
    void stopComputation();

    // Asks what to do with unsaved changes: true when the window may close (saved or
    // discarded), false when the user cancelled or the save failed. saveHandler saves (it may
    // ask for a file name) and answers whether it did.
    bool maySave(const std::function<bool()>& saveHandler);
    void setSaveHandler(std::function<bool()> handler) { saveHandler_ = std::move(handler); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void closeIfPending();
    // The text of a file just read goes into the editor (std::bad_alloc when it does not fit).
    void takeFileText(const QString& path, QByteArray& bytes);
    void updateCaption();
    void closeCheckWindow();

    TAxoliteEditFile* editor_;
    int slot_;
    std::unique_ptr<axolite::language::NetworkRecord> record_;
    DescriptionDocument document_;
    QPointer<TTranslateDialog> checkWindow_;
    std::function<bool()> saveHandler_;
    bool closeWhenIdle_ = false;
    bool asking_ = false;             // the unsaved-changes question is open
    bool editedWhileRunning_ = false; // the text changed during the check window's run
};
