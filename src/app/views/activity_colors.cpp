// The colour legend.
#include "app/views/activity_colors.h"

#include "render/legend_swatches.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

using axolite::language::SeriesFamily;

TActivityColors::TActivityColors(QWidget* parent) : QDialog(parent) {
    setAttribute(Qt::WA_DeleteOnClose, true);
    setModal(false);
    setWindowTitle(QStringLiteral("Цвета зависимостей"));

    // Bitmap identifiers, [family][k] with family as in SeriesFamily.
    static constexpr int kSwatchIds[3][4] = {{16, 20, 23, 26}, {17, 21, 24, 27}, {18, 22, 25, 28}};
    static constexpr const char* kRows[3] = {"Сети -", "Рунге-Кутта -", "Точных -"};

    auto* grid = new QGridLayout;
    auto* header = new QLabel(QStringLiteral(" y1   y2   y3   y4"), this);
    header->setObjectName(QStringLiteral("101"));
    grid->addWidget(header, 0, 1, 1, 4);
    const qreal ratio = devicePixelRatioF();
    for (int f = 0; f < 3; ++f) {
        grid->addWidget(new QLabel(QString::fromUtf8(kRows[f]), this), f + 1, 0);
        for (int k = 0; k < 4; ++k) {
            auto* swatch = new QLabel(this);
            swatch->setObjectName(QString::number(kSwatchIds[f][k]));
            swatch->setPixmap(
                QPixmap::fromImage(axolite::render::swatchImage(SeriesFamily(f), k, ratio)));
            swatch->setFixedSize(axolite::render::kSwatchSize, axolite::render::kSwatchSize);
            grid->addWidget(swatch, f + 1, k + 1, Qt::AlignCenter);
        }
    }
    grid->setHorizontalSpacing(14);

    auto* closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
    closeButton->setObjectName(QStringLiteral("1"));
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TActivityColors::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}
