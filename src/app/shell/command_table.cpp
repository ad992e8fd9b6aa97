// The command table of the frame.
#include "app/shell/command_table.h"

#include <algorithm>

namespace axolite::shell {

const std::vector<CommandInfo>& commandTable() {
    static const std::vector<CommandInfo> table = {
        {CmFileNew, "Новый", "Описать нейронную сеть", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {CmFileOpen, "Открыть ...", "Открыть файл описания нейронной сети",
         QKeySequence(Qt::CTRL | Qt::Key_O)},
        {CmFileSave, "Сохранить", "Сохранить описание нейронной сети",
         QKeySequence(Qt::CTRL | Qt::Key_S)},
        {CmFileSaveAs, "Сохранить как ...", "Сохранить описание нейронной сети под новым именем",
         QKeySequence()},
        {CmFileClose, "Закрыть", "Закрыть окно описания нейронной сети",
         QKeySequence(Qt::CTRL | Qt::Key_F4)},
        {CmPrintPreview, "Предварительный просмотр ...",
         "Просмотреть описание нейронной сети перед печатью", QKeySequence()},
        {CmPrint, "Печать ...", "Напечатать описание нейронной сети",
         QKeySequence(Qt::CTRL | Qt::Key_P)},
        {CmPrintSetup, "Параметры печати ...", "Выбрать принтер и параметры страницы",
         QKeySequence()},
        {CmExit, "Выйти", "Завершить работу с программой", QKeySequence(Qt::ALT | Qt::Key_X)},
        {CmFolders, "Установить директории ...",
         "Установить директории моделей нейронов, нейронных сетей и эталонных образов",
         QKeySequence()},
        {CmNeuronModel, "Опредение модели нейроноподобного элемента ...",
         "Определить модель нейроноподобного элемента", QKeySequence(Qt::Key_F7)},
        {CmCheck, "Проверка правильности описания нейронной сети",
         "Проверить правильность описания нейронной сети", QKeySequence(Qt::Key_F9)},
        {CmInputActivation, "Активирование нейронов входного слоя сети ...",
         "Задать функции активации нейронов входного слоя сети", QKeySequence()},
        {CmRungeKutta, "Решение нормальной системы дифференциальных уравнений ...",
         "Решить нормальную систему дифференциальных уравнений методом Рунге-Кутта",
         QKeySequence()},
        {CmExactValues, "Вычисление точных значений ...",
         "Вычислить точные значения аналитических зависимостей", QKeySequence()},
        {CmGraphs, "Графики активности нейронов выходного слоя сети",
         "Показать графики активности нейронов выходного слоя сети", QKeySequence()},
        {CmNumeric, "Числовые значения активности нейронов выходного слоя сети",
         "Показать числовые значения активности нейронов выходного слоя сети", QKeySequence()},
        {CmDynamics, "Динамика нейронов выходного слоя сети ...",
         "Показать динамику нейронов выходного слоя сети", QKeySequence()},
        {CmTeachNetwork, "Обучаемая нейронная сеть ...",
         "Сформировать и обучить многослойную нейронную сеть", QKeySequence()},
        {CmEditUndo, "Отменить", "Отменить последнее изменение",
         QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {CmEditCut, "Вырезать", "Вырезать выделенный текст в буфер обмена",
         QKeySequence(Qt::CTRL | Qt::Key_X)},
        {CmEditCopy, "Копировать", "Копировать выделенный текст в буфер обмена",
         QKeySequence(Qt::CTRL | Qt::Key_C)},
        {CmEditPaste, "Вставить ", "Вставить текст из буфера обмена",
         QKeySequence(Qt::CTRL | Qt::Key_V)},
        {CmEditDelete, "Удалить", "Удалить выделенный текст", QKeySequence()},
        {CmEditClear, "Удалить все", "Удалить весь текст описания", QKeySequence()},
        {CmFind, "Найти ...", "Найти текст в описании", QKeySequence(Qt::CTRL | Qt::Key_F)},
        {CmReplace, "Заменить ...", "Найти и заменить текст в описании",
         QKeySequence(Qt::CTRL | Qt::Key_H)},
        {CmFindNext, "Следующий", "Найти следующее вхождение текста", QKeySequence(Qt::Key_F3)},
        {CmCascade, "Каскадировать", "Расположить окна каскадом", QKeySequence()},
        {CmTile, "Черепица", "Расположить окна черепицей", QKeySequence()},
        {CmArrangeIcons, "Упорядочить иконки", "Упорядочить значки свернутых окон", QKeySequence()},
        {CmCloseAll, "Закрыть все окна", "Закрыть все окна описаний", QKeySequence()},
        {CmHelpContents, "Содержание", "Открыть содержание справки", QKeySequence()},
        {CmHelpOnHelp, "Справка", "Как пользоваться справкой", QKeySequence()},
        {CmAbout, "О программе ...", "Сведения о программе", QKeySequence()},
    };
    return table;
}

const CommandInfo* findCommand(int id) {
    const auto& table = commandTable();
    const auto it =
        std::find_if(table.begin(), table.end(), [id](const CommandInfo& c) { return c.id == id; });
    return it == table.end() ? nullptr : &*it;
}

const std::vector<MenuLayout>& menuLayouts() {
    static const std::vector<MenuLayout> menus = {
        {"Файл",
         {CmFileNew, CmFileOpen, CmFileSave, CmFileSaveAs, CmFileClose, kSeparator, CmPrintPreview,
          CmPrint, CmPrintSetup, kSeparator, CmFolders, kSeparator, CmExit}},
        {"Редактирование",
         {CmEditUndo, kSeparator, CmEditCut, CmEditCopy, CmEditPaste, kSeparator, CmEditDelete,
          CmEditClear}},
        {"Поиск", {CmFind, CmReplace, CmFindNext}},
        {"Нейронная сеть",
         {CmNeuronModel, CmCheck, kSeparator, CmInputActivation, CmRungeKutta, CmExactValues,
          kSeparator, CmGraphs, CmNumeric, CmDynamics, kSeparator, CmTeachNetwork}},
        {"Окно", {CmCascade, CmTile, CmArrangeIcons, CmCloseAll}},
        {"Помощь", {CmHelpContents, CmHelpOnHelp, kSeparator, CmAbout}},
    };
    return menus;
}

const std::vector<int>& toolbarLayout() {
    static const std::vector<int> buttons = {
        CmFileNew,         kSeparator,    CmTeachNetwork, kSeparator, CmFileOpen,     CmFileSave,
        kSeparator,        CmFolders,     kSeparator,     CmEditCut,  CmEditCopy,     CmEditPaste,
        kSeparator,        CmEditUndo,    kSeparator,     CmFind,     CmFindNext,     kSeparator,
        CmInputActivation, kSeparator,    CmNeuronModel,  kSeparator, CmCheck,        kSeparator,
        CmRungeKutta,      CmExactValues, kSeparator,     CmGraphs,   CmNumeric,      CmDynamics,
        kSeparator,        CmPrint,       CmPrintPreview, kSeparator, CmHelpContents,
    };
    return buttons;
}

const std::vector<int>& contextMenuLayout() {
    static const std::vector<int> items = {CmCheck,      CmNeuronModel, CmInputActivation,
                                           CmRungeKutta, CmExactValues, CmGraphs,
                                           CmNumeric,    CmDynamics};
    return items;
}

QString toolCaptionPrefix(int id) {
    switch (id) {
    case CmRungeKutta:
        return QStringLiteral("Решение нормальной системы дифференциальных уравнений ");
    case CmExactValues:
        return QStringLiteral("Вычисление точных значений ");
    case CmCheck:
        return QStringLiteral("Проверка правильности описания нейронной сети ");
    case CmGraphs:
        return QStringLiteral("Графики активности нейронов выходного слоя сети ");
    case CmNumeric:
        return QStringLiteral("Числовые значения активности нейронов выходного слоя сети ");
    case CmDynamics:
        return QStringLiteral("Динамика нейронов выходного слоя сети ");
    case CmInputActivation:
        return QStringLiteral("Активирование нейронов входного слоя сети ");
    default:
        return {};
    }
}

} // namespace axolite::shell
