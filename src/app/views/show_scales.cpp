// The scales window.
#include "app/views/show_scales.h"

#include "core/views/scales.h"
#include "core/views/series.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using axolite::language::SeriesFamily;

TShowScales::TShowScales(const axolite::language::NetworkRecord* record, QWidget* parent)
    : QDialog(parent) {
    setAttribute(Qt::WA_DeleteOnClose, true);
    setModal(false);
    setWindowTitle(QStringLiteral("Масштабы"));

    // [family] group, [family][k] row label and value, family as in SeriesFamily.
    static constexpr int kGroupIds[3] = {102, 103, 104};
    static constexpr const char* kGroupTitles[3] = {"Нейронная сеть", "Метод Рунге-Кутта",
                                                    "Точные значения"};
    static constexpr int kRowIds[3][4] = {
        {106, 107, 108, 109}, {111, 112, 113, 114}, {115, 116, 117, 118}};
    static constexpr int kValueIds[3][4] = {
        {110, 119, 120, 121}, {122, 123, 124, 125}, {126, 127, 128, 129}};

    // The rows lie over their group box rather than in it: a disabled group box would disable
    // what it holds, and a group whose y1 is absent still shows its present rows.
    auto* groups = new QGridLayout;
    groups->setRowMinimumHeight(0, 20);
    groups->setRowMinimumHeight(5, 8);
    groups->setHorizontalSpacing(6);
    for (int f = 0; f < 3; ++f) {
        auto* group = new QGroupBox(QString::fromUtf8(kGroupTitles[f]), this);
        group->setObjectName(QString::number(kGroupIds[f]));
        group->setEnabled(false);
        groups->addWidget(group, 0, 3 * f, 6, 2);
        groups->setColumnMinimumWidth(3 * f + 2, f < 2 ? 8 : 0);
        for (int k = 0; k < 4; ++k) {
            auto* row = new QLabel(QStringLiteral("y%1 - ").arg(k + 1), this);
            row->setObjectName(QString::number(kRowIds[f][k]));
            row->setIndent(10);
            auto* value = new QLabel(QString::fromUtf8(axolite::views::kScaleUnavailable), this);
            value->setObjectName(QString::number(kValueIds[f][k]));
            value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QString(12, u'0')));
            groups->addWidget(row, k + 1, 3 * f);
            groups->addWidget(value, k + 1, 3 * f + 1);
            const bool present =
                record != nullptr && axolite::views::seriesPresent(*record, SeriesFamily(f), k);
            row->setEnabled(present);
            value->setEnabled(present);
            if (present) {
                value->setText(QString::fromStdString(axolite::views::scaleText(
                    axolite::views::seriesScale(*record, SeriesFamily(f), k))));
                // The group box follows its y1.
                if (k == 0) {
                    group->setEnabled(true);
                }
            }
        }
    }

    auto* closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
    closeButton->setObjectName(QStringLiteral("1"));
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TShowScales::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}
