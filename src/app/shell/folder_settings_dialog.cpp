// The folder settings dialog and its directory scan. A home folder can hold a great many
// directories: the scan processes events at most every 15 ms, shows the path being scanned at
// that rhythm, and stops as soon as "Отменить" is pressed.
#include "app/shell/folder_settings_dialog.h"

#include "app/gui/computation_guard.h"
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "app/gui/status_window.h"
#include "core/platform/folder_settings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <set>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

constexpr int kPathLength = 127;
constexpr qint64 kEventIntervalMs = 15;
const QString kScanText = QStringLiteral("Идет сканирование директорий... ");

QLineEdit* makeField(const char* id, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(id));
    field->setMaxLength(kPathLength);
    return field;
}

QPushButton* makeButton(const QString& text, const char* id, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(id));
    button->setAutoDefault(false);
    return button;
}

// File systems that live on a block device of this machine.
bool isLocalFixedFileSystem(const QString& device, const QString& type) {
    static const QStringList remote = {QStringLiteral("nfs"),   QStringLiteral("nfs4"),
                                       QStringLiteral("cifs"),  QStringLiteral("smbfs"),
                                       QStringLiteral("sshfs"), QStringLiteral("fuse.sshfs")};
    return device.startsWith(QLatin1String("/dev/")) && !remote.contains(type) &&
           !device.startsWith(QLatin1String("/dev/loop"));
}

// /proc/mounts writes blanks and other special characters of a mount point as octal escapes.
QString unescapeMountField(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
            field[i + 1] <= '7') {
            out.append(static_cast<char>(field.mid(i + 1, 3).toInt(nullptr, 8)));
            i += 3;
        } else {
            out.append(field[i]);
        }
    }
    return QString::fromUtf8(out);
}

struct DirectoryIdentity {
    dev_t device;
    ino_t inode;
    bool operator<(const DirectoryIdentity& o) const {
        return device != o.device ? device < o.device : inode < o.inode;
    }
};

// A directory on the drive's own file system (device) not entered before: it is entered now.
bool enterOnce(const QString& path, dev_t device, std::set<DirectoryIdentity>& visited) {
    struct stat info {};
    const QByteArray bytes = QFile::encodeName(path);
    return ::lstat(bytes.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_dev == device && visited.insert({info.st_dev, info.st_ino}).second;
}

} // namespace

TFolderSettingsDialog::TFolderSettingsDialog(axolite::platform::FolderSettings& settings,
                                             QWidget* parent, QStringList drives)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("Установить директории"));

    models_ = makeField("3098", this);
    networks_ = makeField("3099", this);
    patterns_ = makeField("3105", this);
    if (settings_.set) {
        models_->setText(QString::fromStdString(settings_.models));
        networks_->setText(QString::fromStdString(settings_.networks));
        patterns_->setText(QString::fromStdString(settings_.patterns));
    }
    auto* toModels = makeButton(QStringLiteral("<<"), "3100", this);
    auto* toNetworks = makeButton(QStringLiteral("<<"), "3101", this);
    auto* toPatterns = makeButton(QStringLiteral("<<"), "3106", this);
    connect(toModels, &QPushButton::clicked, this, [this] { copySelectedPath(models_); });
    connect(toNetworks, &QPushButton::clicked, this, [this] { copySelectedPath(networks_); });
    connect(toPatterns, &QPushButton::clicked, this, [this] { copySelectedPath(patterns_); });

    drive_ = new QComboBox(this);
    drive_->setObjectName(QStringLiteral("drive"));
    drive_->addItems(drives.isEmpty() ? localDrives() : drives);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("directories"));
    tree_->setHeaderHidden(true);
    tree_->setMinimumSize(260, 260);
    connect(drive_, &QComboBox::activated, this, &TFolderSettingsDialog::driveChosen);

    auto* acceptButton = makeButton(QStringLiteral("Принять"), "1", this);
    acceptButton->setDefault(true);
    auto* cancelButton = makeButton(QStringLiteral("Отменить"), "2", this);
    auto* helpButton = makeButton(QStringLiteral("Помощь"), "9", this);
    connect(acceptButton, &QPushButton::clicked, this, &TFolderSettingsDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [this] {
        if (help_) {
            help_();
        } else {
            openHelp(0);
        }
    });

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Модели нейронов : "), this), 0, 0);
    fields->addWidget(models_, 0, 1);
    fields->addWidget(toModels, 0, 2);
    fields->addWidget(new QLabel(QStringLiteral("Нейронные сети :"), this), 1, 0);
    fields->addWidget(networks_, 1, 1);
    fields->addWidget(toNetworks, 1, 2);
    fields->addWidget(new QLabel(QStringLiteral("Эталонные образы :"), this), 2, 0);
    fields->addWidget(patterns_, 2, 1);
    fields->addWidget(toPatterns, 2, 2);
    fields->setColumnMinimumWidth(1, 240);

    auto* treeColumn = new QVBoxLayout;
    treeColumn->addWidget(new QLabel(QStringLiteral("Диск"), this));
    treeColumn->addWidget(drive_);
    treeColumn->addWidget(new QLabel(QStringLiteral("Директории"), this));
    treeColumn->addWidget(tree_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(acceptButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(helpButton);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addStretch();
    left->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(treeColumn);
}

TFolderSettingsDialog::~TFolderSettingsDialog() {
    delete status_;
}

QStringList TFolderSettingsDialog::localDrives() {
    QStringList drives;
    drives << QDir::homePath();
    QFile mounts(QStringLiteral("/proc/mounts"));
    if (mounts.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!mounts.atEnd()) {
            const QList<QByteArray> fields = mounts.readLine().simplified().split(' ');
            if (fields.size() < 3) {
                continue;
            }
            const QString device = unescapeMountField(fields[0]);
            const QString point = unescapeMountField(fields[1]);
            const QString type = QString::fromUtf8(fields[2]);
            if (isLocalFixedFileSystem(device, type) && !drives.contains(point) &&
                QDir(point).exists()) {
                drives << point;
            }
        }
    }
    return drives;
}

void TFolderSettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!scannedOnShow_) {
        scannedOnShow_ = true;
        // The scan starts once the dialog is on the screen.
        QTimer::singleShot(0, this, &TFolderSettingsDialog::scanFirstDrive);
    }
}

void TFolderSettingsDialog::scanFirstDrive() {
    if (drive_->count() == 0) {
        return;
    }
    drive_->setCurrentIndex(0);
    driveChosen(0);
}

void TFolderSettingsDialog::driveChosen(int index) {
    if (index < 0) {
        return;
    }
    if (scanning_) {
        // Another drive chosen during a scan: the scan stops, and the drive the selector now
        // shows is scanned when it has.
        pendingDrive_ = index;
        return;
    }
    for (;;) {
        pendingDrive_ = -1;
        const bool scanned = scanDrive(drive_->itemText(index));
        if (pendingDrive_ >= 0) {
            index = pendingDrive_;
            continue;
        }
        if (!scanned && isVisible()) {
            reject();
        }
        return;
    }
}

bool TFolderSettingsDialog::scanDrive(const QString& root) {
    if (scanning_) {
        return false;
    }
    scanning_ = true;
    // A message shown during the scan ("Принять" with a wrong folder) must not hold it.
    const axolite::gui::RunGuard run;
    tree_->clear();
    status_ = new TStatusWindow(kScanText, this);
    status_->show();

    QElapsedTimer clock;
    clock.start();
    qint64 lastEvents = -kEventIntervalMs;
    std::set<DirectoryIdentity> visited;
    struct stat rootInfo {};
    const QByteArray rootBytes = QFile::encodeName(root);
    const bool rootKnown = ::stat(rootBytes.constData(), &rootInfo) == 0;

    // The nodes are built apart from the tree and put into it at the end: a node added to a
    // shown tree costs a model notification each.
    auto* rootItem = new QTreeWidgetItem(QStringList(root));
    if (rootKnown) {
        visited.insert({rootInfo.st_dev, rootInfo.st_ino});
    }

    // Depth first, in the order the file system lists the entries: a stack of the entries
    // still to visit, each level pushed in reverse so the first listed is scanned first.
    struct Pending {
        QString path;
        QTreeWidgetItem* parent;
    };
    std::vector<std::vector<Pending>> levels;
    auto listChildren = [&](const QString& path, QTreeWidgetItem* parentItem) {
        const QDir dir(path);
        const QStringList names = dir.entryList(
            QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden, QDir::Unsorted);
        std::vector<Pending> level;
        level.reserve(static_cast<std::size_t>(names.size()));
        for (auto it = names.crbegin(); it != names.crend(); ++it) {
            level.push_back({dir.filePath(*it), parentItem});
        }
        levels.push_back(std::move(level));
    };
    if (rootKnown) {
        listChildren(root, rootItem);
    }

    bool cancelled = false;
    while (!levels.empty() && !cancelled) {
        if (levels.back().empty()) {
            levels.pop_back();
            continue;
        }
        const Pending next = std::move(levels.back().back());
        levels.back().pop_back();

        auto* item = new QTreeWidgetItem(next.parent, QStringList(QDir(next.path).dirName()));
        cancelled = scanInterrupted(next.path, clock, lastEvents);
        if (!cancelled && enterOnce(next.path, rootInfo.st_dev, visited)) {
            listChildren(next.path, item);
        }
    }

    delete status_;
    status_ = nullptr;
    scanning_ = false;
    if (cancelled) {
        delete rootItem;
        return false;
    }
    tree_->addTopLevelItem(rootItem);
    rootItem->setExpanded(true);
    tree_->setCurrentItem(rootItem);
    return true;
}

bool TFolderSettingsDialog::scanInterrupted(const QString& path, const QElapsedTimer& clock,
                                            qint64& lastEvents) {
    const qint64 now = clock.elapsed();
    if (now - lastEvents >= kEventIntervalMs) {
        lastEvents = now;
        status_->setText(kScanText + path);
        QCoreApplication::processEvents();
    }
    if (scanObserver_) {
        scanObserver_(path);
    }
    if (status_->cancelRequested()) {
        pendingDrive_ = -1; // the user cancelled: nothing more is scanned
        return true;
    }
    return pendingDrive_ >= 0; // another drive is scanned instead
}

QString TFolderSettingsDialog::nodePath(const QTreeWidgetItem* item) {
    QStringList parts;
    for (; item != nullptr; item = item->parent()) {
        parts.prepend(item->text(0));
    }
    if (parts.isEmpty()) {
        return {};
    }
    QString path = parts.takeFirst();
    for (const QString& part : parts) {
        if (!path.endsWith(u'/')) {
            path += u'/';
        }
        path += part;
    }
    return path;
}

int TFolderSettingsDialog::directoryCount() const {
    int count = 0;
    std::vector<QTreeWidgetItem*> stack;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        stack.push_back(tree_->topLevelItem(i));
    }
    while (!stack.empty()) {
        QTreeWidgetItem* item = stack.back();
        stack.pop_back();
        ++count;
        for (int i = 0; i < item->childCount(); ++i) {
            stack.push_back(item->child(i));
        }
    }
    return count;
}

void TFolderSettingsDialog::copySelectedPath(QLineEdit* field) {
    const QTreeWidgetItem* item = tree_->currentItem();
    if (item != nullptr) {
        field->setText(nodePath(item));
    }
}

// Closing the dialog while a scan runs stops the scan.
void TFolderSettingsDialog::reject() {
    if (status_ != nullptr) {
        status_->requestCancel();
    }
    QDialog::reject();
}

void TFolderSettingsDialog::accept() {
    settings_.models = models_->text().toStdString();
    settings_.networks = networks_->text().toStdString();
    settings_.patterns = patterns_->text().toStdString();
    for (const QLineEdit* field : {models_, networks_, patterns_}) {
        const QString path = field->text();
        if (!path.isEmpty() && !(QDir(path).exists() && QDir(path).isReadable())) {
            Notifier::instance().show(axolite::MessageKind::Error,
                                      QStringLiteral("Имя директории введено неверно."), this);
            return;
        }
    }
    if (status_ != nullptr) {
        status_->requestCancel();
    }
    settings_.set = true;
    QDialog::accept();
}
