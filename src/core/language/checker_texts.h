// The texts of the check's rows, and the rows each missing statement adds: read by the checker
// alone.
#pragma once

#include "core/language/checker.h"

namespace axolite::language::checker_texts {

// Message texts of the check.
constexpr const char* kExtraCharacter = "Лишний символ в строке";
constexpr const char* kZeroNotAllowed = "Ноль является недопустимым числовым выражением";
constexpr const char* kSignNotAllowed = "Знаковое выражение недопустимо";
constexpr const char* kNeuronAboveCount = "Номер нейрона превышает число нейронов в сети";
constexpr const char* kNumberOutOfRange = "Слишком большое или слишком малое числовое выражение";
constexpr const char* kMissingLeftBrace = "Пропущена левая фигурная скобка";
constexpr const char* kMissingRightBrace = "Пропущена правая фигурная скобка";
constexpr const char* kMissingLeftParen = "Пропущена левая круглая скобка";
constexpr const char* kMissingRightParen = "Пропущена правая круглая скобка";
constexpr const char* kMissingSemicolon = "Пропущена точка с запятой";
constexpr const char* kMissingComma = "Пропущена запятая";
constexpr const char* kMissingNeuron = "Пропущено слово 'neuron'";
constexpr const char* kMissingWeight = "Пропущено слово 'weight'";
constexpr const char* kEmptyWeightList = "Пустой список весов";
constexpr const char* kEmptyNeuronList = "Пустой список нейронов";
constexpr const char* kTooManyNeurons = "Число нейронов превышает максимально допустимое";
constexpr const char* kStartNotBeforeEnd =
    "Начальное время моделирования сети должно быть меньше конечного";
constexpr const char* kNeuronsWeightsDiffer = "Число нейронов и весов не совпадает";
constexpr const char* kInitStateDefaults =
    "За начальные состояния нейронов будут приняты значения по умолчанию";
constexpr const char* kSuspendDefaults =
    "В качестве числа тактов ожидания нейронов будет принято значение по умолчанию";
constexpr const char* kModelDefaults =
    "В качестве модели нейрона будет использована модель по умолчанию";
constexpr const char* kInitStateDoubtful = "Возможно ошибочное описание оператора INITSTATE";

// The rows a missing statement adds, in the order the statements are reported.
struct MissingRow {
    RowKind kind;
    const char* text;
};
struct MissingStatement {
    Statement statement;
    MissingRow rows[3];
    int rowCount;
};
constexpr MissingStatement kMissingStatements[] = {
    {Statement::Neurons, {{RowKind::Error, "Пропущен оператор NEURONS"}}, 1},
    {Statement::InitState,
     {{RowKind::Warning, "Пропущен оператор INITSTATE"},
      {RowKind::Warning, kInitStateDoubtful},
      {RowKind::Warning, kInitStateDefaults}},
     3},
    {Statement::Suspend,
     {{RowKind::Warning, "Пропущен оператор SUSPEND"},
      {RowKind::Warning, "Возможно ошибочное описание оператора SUSPEND"},
      {RowKind::Warning, kSuspendDefaults}},
     3},
    {Statement::SimTime,
     {{RowKind::Error, "Пропущен оператор SIMTIME"},
      {RowKind::Warning, "Возможно ошибочное описание оператора SIMTIME"}},
     2},
    {Statement::Model,
     {{RowKind::Warning, "Пропущен оператор MODEL"},
      {RowKind::Warning, "Возможно ошибочное описание оператора MODEL"}},
     2},
    {Statement::TimeStep, {{RowKind::Error, "Пропущен оператор TIMESTEP"}}, 1},
    {Statement::InputLayer,
     {{RowKind::Warning, "Пропущен оператор INPUTLAYER"},
      {RowKind::Warning, "Возможно ошибочное описание оператора INPUTLAYER"}},
     2},
    {Statement::OutputLayer,
     {{RowKind::Error, "Пропущен оператор OUTPUTLAYER"},
      {RowKind::Warning, "Возможно ошибочное описание оператора OUTPUTLAYER"}},
     2},
    {Statement::NetworkLayout,
     {{RowKind::Error, "Пропущен оператор NETWORKLAYOUT"},
      {RowKind::Warning, "Возможно ошибочное описание оператора NETWORKLAYOUT"}},
     2},
};

} // namespace axolite::language::checker_texts
