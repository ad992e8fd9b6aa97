// The scales window, a companion window of the graphs view: 190 / range of every present series.
// The frame holds at most one.
#pragma once

#include "core/language/network_record.h"

#include <QDialog>

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
