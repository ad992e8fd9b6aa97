// The about box and the start-up picture.
#include "app/shell/about_box.h"

#include "app/shell/installation.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <sys/sysinfo.h>

namespace axolite::shell {

QString processorTypeName(int family) {
    switch (family) {
    case 3:
        return QStringLiteral("Intel 386");
    case 4:
        return QStringLiteral("Intel 486");
    default:
        return QStringLiteral("Intel PENTIUM");
    }
}

int processorFamilyFromCpuInfo(const QString& cpuinfo) {
    static const QRegularExpression family(QStringLiteral("^cpu family\\s*:\\s*(\\d+)"),
                                           QRegularExpression::MultilineOption);
    const auto match = family.match(cpuinfo);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QString processorType() {
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return processorTypeName(0);
    }
    return processorTypeName(processorFamilyFromCpuInfo(QString::fromLatin1(file.readAll())));
}

QString memoryText(std::uint64_t totalPhysicalBytes) {
    return QStringLiteral("%1 M").arg((totalPhysicalBytes >> 20) + 1);
}

std::uint64_t totalPhysicalMemory() {
    struct sysinfo info {};
    if (sysinfo(&info) != 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.totalram) * info.mem_unit;
}

QPixmap startupPicture() {
    QPixmap picture(290, 120);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, 120);
    background.setColorAt(0, QColor(0, 32, 96));
    background.setColorAt(1, QColor(0, 96, 160));
    painter.fillRect(picture.rect(), background);

    // A small layered network: three inputs, four hidden neurons, two outputs.
    const QList<QList<QPointF>> layers = {
        {{30, 30}, {30, 60}, {30, 90}},
        {{75, 22}, {75, 48}, {75, 72}, {75, 98}},
        {{120, 45}, {120, 75}},
    };
    painter.setPen(QPen(QColor(150, 200, 255, 160), 1));
    for (int l = 0; l + 1 < layers.size(); ++l) {
        for (const QPointF& from : layers[l]) {
            for (const QPointF& to : layers[l + 1]) {
                painter.drawLine(from, to);
            }
        }
    }
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(QColor(255, 200, 40));
    for (const auto& layer : layers) {
        for (const QPointF& p : layer) {
            painter.drawEllipse(p, 5, 5);
        }
    }

    painter.setPen(Qt::white);
    QFont title(QStringLiteral("Sans Serif"));
    title.setPixelSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(140, 22, 145, 40), Qt::AlignCenter, QStringLiteral("Axolite"));
    QFont subtitle(QStringLiteral("Sans Serif"));
    subtitle.setPixelSize(11);
    painter.setFont(subtitle);
    painter.drawText(QRectF(140, 62, 145, 40), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("Моделирование нейронных сетей"));
    painter.setPen(QColor(255, 255, 255, 90));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    return picture;
}

} // namespace axolite::shell

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("2009"));
    setWindowTitle(QStringLiteral("О программе Axolite"));
    auto* picture = new QLabel(this);
    picture->setPixmap(axolite::shell::startupPicture());

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Процессор :"), this), 0, 0);
    auto* processor = new QLabel(axolite::shell::processorType(), this);
    processor->setObjectName(QStringLiteral("processor"));
    grid->addWidget(processor, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Память :"), this), 1, 0);
    auto* memory =
        new QLabel(axolite::shell::memoryText(axolite::shell::totalPhysicalMemory()), this);
    memory->setObjectName(QStringLiteral("memory"));
    grid->addWidget(memory, 1, 1);
    // Which version runs, and from where: an installed program or a build.
    const axolite::shell::Installation where = axolite::shell::installation();
    const QString rows[][3] = {
        {QStringLiteral("Версия :"), QStringLiteral("version"), axolite::shell::programVersion()},
        {QStringLiteral("Программа :"), QStringLiteral("program"),
         QDir::toNativeSeparators(where.program) +
             (where.installed ? QString() : QStringLiteral(" (сборка, не установлена)"))},
        {QStringLiteral("Примеры :"), QStringLiteral("examples"),
         where.examples.isEmpty() ? QStringLiteral("не найдены")
                                  : QDir::toNativeSeparators(where.examples)},
        {QStringLiteral("Справка :"), QStringLiteral("help"),
         QStringLiteral("встроена в программу (F1)")},
    };
    int row = 2;
    for (const auto& [caption, name, value] : rows) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        auto* shown = new QLabel(value, this);
        shown->setObjectName(name);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(shown, row++, 1);
    }

    auto* text =
        new QLabel(QStringLiteral("Axolite — моделирование искусственных нейронных сетей"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addWidget(text);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}
