// The dialog "Установить директории": the folders of neuron models, descriptions and patterns,
// chosen by hand or from the directory tree of a drive.
#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class QComboBox;
class QLineEdit;
class QElapsedTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TStatusWindow;

namespace axolite::platform {
struct FolderSettings;
}

class TFolderSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Works on the frame's folder settings. drives: the drive selector's entries; empty means
    // the home folder followed by the local fixed mount points. The first drive is scanned when
    // the dialog is shown; cancelling that scan closes the dialog as cancelled.
    explicit TFolderSettingsDialog(axolite::platform::FolderSettings& settings,
                                   QWidget* parent = nullptr, QStringList drives = {});
    ~TFolderSettingsDialog() override;

    // The home folder, then the mount points of block-device file systems listed in
    // /proc/mounts (network, memory and pseudo file systems left out), without duplicates.
    static QStringList localDrives();

    // Fills the tree with the directories of the drive, depth first, while the status window
    // shows the path being scanned. Symbolic links are not followed, other file systems are not
    // entered, unreadable folders stay leaves. False when the user cancelled the scan.
    bool scanDrive(const QString& root);

    // The path of a tree node: the node texts from the root to it, joined by "/".
    static QString nodePath(const QTreeWidgetItem* item);

    // The status window of a running scan (nullptr otherwise); tests press its button.
    TStatusWindow* statusWindow() const { return status_; }
    // Runs once per directory scanned while a scan is going on (tests cancel from here).
    void setScanObserver(std::function<void(const QString&)> observer) {
        scanObserver_ = std::move(observer);
    }
    void setHelpHandler(std::function<void()> handler) { help_ = std::move(handler); }

    // The number of directories in the tree, the roots included.
    int directoryCount() const;

public slots:
    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Serves the events while a scan visits path (every few milliseconds); true when the scan
    // must stop (cancelled, or another drive was chosen).
    bool scanInterrupted(const QString& path, const QElapsedTimer& clock, qint64& lastEvents);
    void scanFirstDrive();
    void driveChosen(int index);
    void copySelectedPath(QLineEdit* field);

    axolite::platform::FolderSettings& settings_;
    QLineEdit* models_ = nullptr;
    QLineEdit* networks_ = nullptr;
    QLineEdit* patterns_ = nullptr;
    QComboBox* drive_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    TStatusWindow* status_ = nullptr;
    std::function<void(const QString&)> scanObserver_;
    std::function<void()> help_;
    bool scannedOnShow_ = false;
    bool scanning_ = false;
    int pendingDrive_ = -1; // chosen during a scan: that scan stops and this drive is scanned
};
