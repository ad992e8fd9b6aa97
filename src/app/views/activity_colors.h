// The companion windows of the plots: the colour legend (which colour belongs to which of the
// twelve series) and the scales window (190 / range of every present series). The frame holds
// at most one of each.
#pragma once

#include "language/network_record.h"

#include <QDialog>

// "Цвета зависимостей": the twelve swatches, 10 × 10 pixels each, in the series' colours.
class TActivityColors : public QDialog {
    Q_OBJECT
public:
    explicit TActivityColors(QWidget* parent = nullptr);

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }
};

// "Масштабы": the scale of every present series of the record as it is at set-up ("%8.5f"); an
// absent series' row is disabled and reads "Недоступен", as does the row of a series whose range
// is 0 (a series that is 0 throughout has no finite scale). record may be nullptr: every row is
// then disabled.
class TShowScales : public QDialog {
    Q_OBJECT
public:
    explicit TShowScales(const axolite::language::NetworkRecord* record, QWidget* parent = nullptr);

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }
};
