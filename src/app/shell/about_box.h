// The about box (command 2009): the program, the processor type and the physical memory; and the
// start-up picture shown while the frame is built.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

#include <cstdint>

namespace axolite::shell {

// "Intel 386" for family 3, "Intel 486" for family 4, "Intel PENTIUM" otherwise.
QString processorTypeName(int family);
// The processor family named by the first "cpu family" line of /proc/cpuinfo text (0 if none).
int processorFamilyFromCpuInfo(const QString& cpuinfo);
// The processor type of this machine.
QString processorType();

// "%d M" with (total physical bytes >> 20) + 1.
QString memoryText(std::uint64_t totalPhysicalBytes);
std::uint64_t totalPhysicalMemory();

// The start-up picture (290 × 120), drawn by us.
QPixmap startupPicture();

} // namespace axolite::shell

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};
