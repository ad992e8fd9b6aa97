// The debugger window's fixed numbers: the identifiers its controls carry as object names (tests
// and help address them), and the kind of its companion in the register of tool windows.
#pragma once

#include <QString>

namespace axolite::debugger_gui {

enum ControlId : int {
    kStepText = 2101,
    kFirstStep = 2102,
    kStepBack = 2103,
    kStepForward = 2104,
    kLastStep = 2105,
    kContinueToCondition = 2106,
    kBackToCondition = 2107,
    kStepSlider = 2108,
    kNeuronNumber = 2109,
    kAddWatch = 2110,
    kAddOutputWatches = 2111,
    kRemoveWatch = 2112,
    kWatchTable = 2113,
    kCopyTable = 2114,
    kSaveTable = 2115,
    kExplanation = 2116,
    kAddCondition = 2117,
    kStatus = 2118,
    kConditionActive = 2120,
    kConditionField = 2121,
    kConditionRemove = 2122,
    kConditionReason = 2123,
    kClose = 2,
    kHelp = 9,
};

// Gives a control its identifier as object name and answers it.
template <typename Control> Control* named(Control* control, int id) {
    control->setObjectName(QString::number(id));
    return control;
}

} // namespace axolite::debugger_gui
