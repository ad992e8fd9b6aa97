// The manual pages in roff: axolite-cli(1) from the table of commands and options, axolite(1)
// for the desktop program; English and Russian.
#include "cli/manual/manual.h"

#include <sstream>

namespace axolite::cli::manual {

namespace {

// Text as roff shows it: backslashes escaped, hyphens as minus signs where they start an option
// or stand in a word, and a line that would begin with a control character guarded.
std::string roff(const std::string& text) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) {
            out += "\\&";
        }
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
        lineStart = c == '\n';
    }
    return out;
}

std::string says(Language language, const std::string& english) {
    if (language == Language::English) {
        return english;
    }
    return russianText(english).value_or(english);
}

// "--models DIR", "--json", "file": the option as the synopsis writes it.
std::string optionSynopsis(const CLI::Option& option) {
    if (option.get_positional()) {
        return "\\fI" + roff(option.get_name()) + "\\fR";
    }
    std::string text = "\\fB" + roff(option.get_name(false, true)) + "\\fR";
    if (option.get_type_size_max() > 0) {
        text += " \\fI" + roff(option.get_type_name()) + "\\fR";
    }
    return text;
}

void writeOptions(std::ostringstream& page, const CLI::App& command, Language language) {
    for (const CLI::Option* option : command.get_options()) {
        if (option == command.get_help_ptr() || option == command.get_help_all_ptr()) {
            continue;
        }
        page << ".TP\n" << optionSynopsis(*option) << '\n';
        std::string text = says(language, option->get_description());
        if (option->get_required()) {
            text += language == Language::English ? " (required)" : " (обязательно)";
        }
        page << roff(text) << '\n';
    }
}

struct PageTexts {
    const char* name;
    const char* description;
    const char* commands;
    const char* options;
    const char* exitStatus;
    const char* statuses;
    const char* seeAlso;
};

const PageTexts kToolTexts[] = {
    {"axolite-cli - the simulator of artificial neural networks without a display",
     "axolite-cli runs the engine of the desktop program Axolite without a display: it lexes "
     "and checks network descriptions (.net), simulates them with the neuron models of .neu "
     "files, computes the exact values and the Runge-Kutta solution, forms and trains layered "
     "networks on pattern files (.ptn), studies the step size, explains a value and draws the "
     "result views as PNG or SVG pictures. A description file named - is read from the "
     "standard input. The texts it prints are the program's own, in Russian.",
     "COMMANDS", "OPTIONS", "EXIT STATUS",
     "0: done; 1: refused by the system (its message printed); 2: a usage or file error, or "
     "output that could not be written.",
     "SEE ALSO"},
    {"axolite-cli - моделирование искусственных нейронных сетей без дисплея",
     "axolite-cli выполняет вычисления программы Axolite без дисплея: разбирает и проверяет "
     "описания нейронных сетей (.net), моделирует их работу с моделями нейронов из файлов .neu, "
     "вычисляет точные значения и решение методом Рунге-Кутта, формирует и обучает многослойные "
     "сети на файлах образов (.ptn), исследует шаг интегрирования, объясняет значение и рисует "
     "графики и динамику в файлы PNG или SVG. Описание с именем - читается со стандартного "
     "ввода.",
     "КОМАНДЫ", "ПАРАМЕТРЫ", "КОД ЗАВЕРШЕНИЯ",
     "0: выполнено; 1: отказ системы (её сообщение выведено); 2: ошибка в параметрах или "
     "файлах, или вывод не удалось записать.",
     "СМ. ТАКЖЕ"},
};

const PageTexts& textsOf(const PageTexts (&texts)[2], Language language) {
    return texts[language == Language::English ? 0 : 1];
}

// The page's title line and its NAME section, with the heading of the synopsis to come.
void writeHeader(std::ostringstream& page, const char* title, const std::string& version,
                 const char* name, Language language) {
    const bool english = language == Language::English;
    page << ".TH " << title << " 1 \"\" \"Axolite " << roff(version) << "\"\n"
         << ".SH " << (english ? "NAME" : "ИМЯ") << '\n'
         << roff(name) << '\n'
         << ".SH " << (english ? "SYNOPSIS" : "ОБЗОР") << '\n';
}

const char* descriptionHeading(Language language) {
    return language == Language::English ? "DESCRIPTION" : "ОПИСАНИЕ";
}

} // namespace

std::vector<std::string> untranslatedTexts(const CLI::App& tool) {
    std::vector<std::string> missing;
    const auto need = [&](const std::string& english) {
        if (!english.empty() && !russianText(english)) {
            missing.push_back(english);
        }
    };
    for (const CLI::Option* option : tool.get_options()) {
        need(option->get_description());
    }
    for (const CLI::App* command : tool.get_subcommands({})) {
        need(command->get_description());
        for (const CLI::Option* option : command->get_options()) {
            need(option->get_description());
        }
    }
    return missing;
}

std::string toolManualPage(const CLI::App& tool, Language language, const std::string& version) {
    const PageTexts& texts = textsOf(kToolTexts, language);
    std::ostringstream page;
    writeHeader(page, "AXOLITE-CLI", version, texts.name, language);
    page << "\\fBaxolite\\-cli\\fR \\fICOMMAND\\fR [\\fIOPTIONS\\fR]\n"
         << ".br\n"
         << "\\fBaxolite\\-cli \\-\\-version\\fR | \\fB\\-\\-help\\fR | \\fB\\-\\-help\\-all\\fR\n"
         << ".SH " << descriptionHeading(language) << '\n'
         << roff(texts.description) << '\n'
         << ".SH " << texts.options << '\n';
    writeOptions(page, tool, language);
    page << ".SH " << texts.commands << '\n';
    for (const CLI::App* command : tool.get_subcommands({})) {
        page << ".SS " << roff(command->get_name());
        for (const CLI::Option* option : command->get_options()) {
            if (option->get_positional()) {
                page << ' ' << optionSynopsis(*option);
            }
        }
        page << " [\\fIOPTIONS\\fR]\n" << roff(says(language, command->get_description())) << '\n';
        writeOptions(page, *command, language);
    }
    page << ".SH " << texts.exitStatus << '\n'
         << roff(texts.statuses) << '\n'
         << ".SH " << texts.seeAlso << '\n'
         << "\\fBaxolite\\fR(1)\n";
    return page.str();
}

std::string programManualPage(Language language, const std::string& version) {
    const bool english = language == Language::English;
    std::ostringstream page;
    writeHeader(page, "AXOLITE", version,
                english ? "axolite - the simulator of artificial neural networks"
                        : "axolite - моделирование искусственных нейронных сетей",
                language);
    page
        << "\\fBaxolite\\fR [\\fIFILE.net\\fR ...]\n.br\n"
        << "\\fBaxolite unregister\\fR\n.br\n"
        << "\\fBaxolite \\-\\-version\\fR\n"
        << ".SH " << descriptionHeading(language) << '\n'
        << roff(
               english
                   ? "Axolite is a desktop program for simulating artificial neural networks, with "
                     "a Russian user interface. It edits and checks network descriptions (.net "
                     "files), simulates them with the neuron models of .neu files, compares the "
                     "output activity with the Runge-Kutta solution of a linear system and with "
                     "typed analytic formulas, shows the results as graphs, a numeric table and "
                     "an animated 3-D view, and forms and trains layered feed-forward networks "
                     "on pattern files (.ptn). Its help opens with the walk-through \"Первые "
                     "шаги\" on the installed examples."
                   : "Axolite — программа моделирования искусственных нейронных сетей. Она "
                     "редактирует и проверяет описания сетей (файлы .net), моделирует их работу "
                     "с моделями нейронов из файлов .neu, сравнивает активность выходного слоя с "
                     "решением системы дифференциальных уравнений методом Рунге-Кутта и с "
                     "заданными формулами, показывает графики, числовые значения и динамику "
                     "нейронов, формирует и обучает многослойные сети на файлах образов (.ptn). "
                     "Справка открывается разделом \"Первые шаги\" на установленных примерах.")
        << '\n'
        << ".SH " << (english ? "OPTIONS" : "ПАРАМЕТРЫ") << '\n'
        << ".TP\n\\fIFILE.net\\fR\n"
        << roff(english ? "Opens each description in a window of its own."
                        : "Открывает каждое описание в отдельном окне.")
        << "\n.TP\n\\fBunregister\\fR\n"
        << roff(english ? "Removes the association of .net files that the program wrote for the "
                          "user (when it runs from a build rather than installed) and writes none."
                        : "Удаляет связь файлов .net с программой, записанную для пользователя "
                          "(когда программа запущена не из установки), и не записывает новую.")
        << "\n.TP\n\\fB\\-\\-version\\fR\n"
        << roff(english ? "Prints the version and exits." : "Выводит версию и завершает работу.")
        << '\n'
        << ".SH " << (english ? "FILES" : "ФАЙЛЫ") << '\n'
        << ".TP\n\\fIAxolite.ini\\fR\n"
        << roff(english ? "The list of recent files, in the current folder."
                        : "Список последних файлов, в текущей папке.")
        << "\n.TP\n\\fI/usr/share/axolite/examples\\fR\n"
        << roff(english ? "The examples: descriptions, neuron models and pattern files."
                        : "Примеры: описания сетей, модели нейронов и файлы образов.")
        << '\n'
        << ".SH " << (english ? "SEE ALSO" : "СМ. ТАКЖЕ") << '\n'
        << "\\fBaxolite\\-cli\\fR(1)\n";
    return page.str();
}

} // namespace axolite::cli::manual
