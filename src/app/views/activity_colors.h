// The colour legend, a companion window of the plots: which colour belongs to which of the twelve
// series. The frame holds at most one.
#pragma once

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
