// The frame's own commands and the placement of every command in its menus and toolbar.
#include "app/shell/command_table.h"

#include "app/gui/tool_register.h"
#include "app/shell/tool_catalogue.h"

namespace axolite::shell {

const std::vector<CommandInfo>& frameCommandTable() {
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

std::vector<CommandInfo> commandTable() {
    registerAllTools();
    std::vector<CommandInfo> table = frameCommandTable();
    for (const axolite::gui::ToolDescriptor* tool : axolite::gui::registeredTools()) {
        table.push_back({tool->id, tool->menuText, tool->hint, tool->shortcut});
    }
    return table;
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
          kSeparator, CmGraphs, CmNumeric, CmDynamics, CmDebugger, kSeparator, CmTeachNetwork}},
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
    const axolite::gui::ToolDescriptor* tool = axolite::gui::findTool(id);
    return tool != nullptr ? QString::fromUtf8(tool->captionPrefix) : QString();
}

} // namespace axolite::shell
