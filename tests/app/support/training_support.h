// What the training dialog's tests share: controls by identifier, typing and clicking, and the
// pattern files of a run.
#pragma once

#include "app/training/teach_network.h"
#include "app/training/training_controls.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace axolite::training_ui;

template <typename T> T* find(QWidget& dialog, int id) {
    T* widget = dialog.findChild<T*>(QString::number(id));
    if (widget == nullptr) {
        qFatal("no control %d", id);
    }
    return widget;
}

inline QLineEdit* field(QWidget& dialog, int id) {
    return find<QLineEdit>(dialog, id);
}

// Replaces the text of a field by typing, as the keyboard would (the field's filter applies).
inline void type(QWidget& dialog, int id, const QString& text) {
    QLineEdit* edit = field(dialog, id);
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
}

// A click as the user makes it: nothing happens on a disabled button.
inline void click(QWidget& dialog, int id) {
    find<QAbstractButton>(dialog, id)->click();
}

inline void spin(QWidget& dialog, int id, bool up) {
    auto* spin = find<SpinButtons>(dialog, id);
    QTest::mouseClick(up ? spin->upButton() : spin->downButton(), Qt::LeftButton);
}

inline QString shown(QWidget& dialog, int id) {
    return find<QLabel>(dialog, id)->text();
}

inline QString examplePath(const char* name) {
    return QStringLiteral(AXOLITE_EXAMPLES_DIR "/") + QString::fromLatin1(name);
}

// The XOR network of the examples: 2 inputs, one sigmoid hidden layer of 4, one sigmoid output,
// on-line back-propagation, 2000 iterations at 0.5, with a fixed seed.
inline void setUpXor(TTeachNetwork& dialog, std::uint32_t seed, int iterations = 2000) {
    dialog.showPage(TTeachNetwork::FormPage);
    type(dialog, IdInputCount, QStringLiteral("2"));
    spin(dialog, IdHiddenSpin, true);
    type(dialog, IdHiddenNeurons, QStringLiteral("4"));
    click(dialog, IdOutputKind + 2);
    dialog.showPage(TTeachNetwork::TrainingPage);
    type(dialog, IdPatterns, QStringLiteral("4"));
    field(dialog, IdInputFile)->setText(examplePath("xor_input.ptn"));
    field(dialog, IdTargetFile)->setText(examplePath("xor_target.ptn"));
    type(dialog, IdIterations, QString::number(iterations));
    type(dialog, IdRate, QStringLiteral("0.5"));
    find<QAbstractButton>(dialog, IdSeedFixed)->setChecked(true);
    type(dialog, IdSeed, QString::number(seed));
}

// The same network trained by `axolite-cli train` (rate 0.5): its arguments.
inline QStringList xorArguments(int iterations, std::uint32_t seed) {
    return {QStringLiteral("train"),       QStringLiteral("--input"),
            examplePath("xor_input.ptn"),  QStringLiteral("--target"),
            examplePath("xor_target.ptn"), QStringLiteral("--patterns"),
            QStringLiteral("4"),           QStringLiteral("--input-layer"),
            QStringLiteral("2"),           QStringLiteral("--hidden"),
            QStringLiteral("4"),           QStringLiteral("--output-layer"),
            QStringLiteral("1:sigmoid"),   QStringLiteral("--iterations"),
            QString::number(iterations),   QStringLiteral("--rate"),
            QStringLiteral("0.5"),         QStringLiteral("--seed"),
            QString::number(seed)};
}
