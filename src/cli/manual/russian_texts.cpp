// The Russian texts of the tool's command and option descriptions, for the Russian manual page.
// A description without a text here stops the build of the manual pages, naming it.
#include "cli/manual/manual.h"

#include <map>

namespace axolite::cli::manual {

namespace {

const std::map<std::string, std::string> kTexts = {
    {"Axolite: simulator of artificial neural networks (command-line tool)",
     "Axolite: моделирование искусственных нейронных сетей (программа командной строки)"},
    {"Print this help message and exit", "Вывести эту справку и завершить работу"},
    {"Show the help of every command", "Вывести справку по всем командам"},
    {"Print the version and exit", "Вывести версию и завершить работу"},
    // Commands.
    {"Print the token stream of a description", "Вывести поток лексем описания"},
    {"Check a description as the check window does",
     "Проверить описание, как это делает окно проверки"},
    {"Check a description and simulate the network",
     "Проверить описание и смоделировать работу сети"},
    {"Form and train a layered network on pattern files",
     "Сформировать и обучить многослойную сеть на файлах образов"},
    {"Write the Euler network of a linear system",
     "Записать сеть метода Эйлера для линейной системы"},
    {"Errors and observed orders of the Euler network and Runge-Kutta as h halves",
     "Погрешности и наблюдаемые порядки сети Эйлера и метода Рунге-Кутта при делении шага h "
     "пополам"},
    {"Explain the activity of one neuron at one step of the simulation",
     "Объяснить активность одного нейрона на одном шаге моделирования"},
    {"Run a description to the first step where a condition holds and explain it",
     "Смоделировать работу сети, найти первый шаг, на котором выполнено условие, и объяснить "
     "его"},
    {"Simulate a description and draw the graphs or the dynamics view as PNG or SVG",
     "Смоделировать работу сети и нарисовать графики или динамику в файл PNG или SVG"},
    // Descriptions and the run.
    {"Description file (.net)", "Файл описания нейронной сети (.net)"},
    {"Print one JSON object", "Вывести один объект JSON"},
    {"Folder of the neuron models (.neu); the current folder by default",
     "Папка моделей нейронов (.neu); по умолчанию текущая папка"},
    {"Activation function of input neuron N, as N=FORMULA (repeatable; input neurons not "
     "named get 0)",
     "Функция активации входного нейрона N в виде N=ФОРМУЛА (можно повторять; неназванные "
     "входные нейроны получают 0)"},
    {"Analytic dependency yK, as K=FORMULA with K 1..4 (repeatable; 0.0 otherwise)",
     "Аналитическая зависимость yK в виде K=ФОРМУЛА, K от 1 до 4 (можно повторять; иначе "
     "0.0)"},
    {"Runge-Kutta system: \"a1 b1 c1 d1 e1; a2 ...; a3 ...; a4 ...\"",
     "Система для метода Рунге-Кутта: \"a1 b1 c1 d1 e1; a2 ...; a3 ...; a4 ...\""},
    {"Initial values \"y1 y2 y3 y4\"", "Начальные значения \"y1 y2 y3 y4\""},
    {"Write the exact values as a pattern file", "Записать точные значения в файл образов"},
    {"Write the Runge-Kutta solution as a pattern file",
     "Записать решение методом Рунге-Кутта в файл образов"},
    {"Write the input activations as a pattern file",
     "Записать активность входного слоя в файл образов"},
    {"Write the output series to this CSV file",
     "Записать активность выходного слоя в этот файл CSV"},
    {"With --json: include the output series", "С --json: включить ряды выходного слоя"},
    // The debugger.
    {"Condition on the run's values, e.g. \"n3 > 0.5\" (repeatable; any may hold)",
     "Условие на значения моделирования, например \"n3 > 0.5\" (можно повторять; достаточно "
     "одного)"},
    {"Neurons to watch: numbers from 1 separated by commas, or outputs",
     "Наблюдаемые нейроны: номера от 1 через запятую или outputs"},
    {"The first step searched, from 0", "Первый просматриваемый шаг, от 0"},
    // Training.
    {"Input pattern file (.ptn)", "Файл входных эталонных образов (.ptn)"},
    {"Target pattern file (.ptn), for the back-propagation methods",
     "Файл выходных эталонных образов (.ptn), для методов обратного распространения"},
    {"Number of patterns P", "Число образов P"},
    {"Input layer: N[:linear|step|sigmoid|gaussian]",
     "Входной слой: N[:linear|step|sigmoid|gaussian]"},
    {"Hidden layers: \"n/e,n/e,...\" (neurons/ensembles, ensembles default 1)",
     "Скрытые слои: \"n/e,n/e,...\" (нейроны/ансамбли, по умолчанию один ансамбль)"},
    {"Hidden layers: linear or sigmoid", "Скрытые слои: linear или sigmoid"},
    {"Output layer: N[:linear|step|sigmoid|gaussian]",
     "Выходной слой: N[:linear|step|sigmoid|gaussian]"},
    {"online, randomized, hebbian or competitive", "online, randomized, hebbian или competitive"},
    {"Number of iterations T", "Число итераций T"},
    {"Learning rate", "Скорость обучения"},
    {"At a local minimum: stop (Yes), continue (No) or off (no question)",
     "В локальном минимуме: stop (Да), continue (Нет) или off (без вопроса)"},
    {"Seed of the generator (default: the current time in seconds)",
     "Начальное значение генератора (по умолчанию текущее время в секундах)"},
    {"Investigate the trained network on these inputs (repeatable)",
     "Исследовать обученную сеть на этих входах (можно повторять)"},
    {"Write the trained network as a description and its .neu files",
     "Записать обученную сеть как описание и его файлы .neu"},
    {"Draw the norm of every iteration into this PNG or SVG file",
     "Нарисовать норму каждой итерации в этот файл PNG или SVG"},
    {"Draw the curve on a log scale", "Рисовать кривую в логарифмическом масштабе"},
    {"After every iteration, the mean squared error over all patterns (a forward pass of its "
     "own; drawn on the curve)",
     "После каждой итерации среднеквадратичная ошибка по всем образам (отдельным прямым "
     "проходом; рисуется на кривой)"},
    {"Continue training the network of this description (written by --write-net)",
     "Продолжить обучение сети этого описания (записанного с --write-net)"},
    {"Continue training, exactly, from the final weights of this record",
     "Продолжить обучение точно с итоговых весов этой записи эксперимента"},
    {"Write the experiment record of the run to this JSON file",
     "Записать запись эксперимента в этот файл JSON"},
    {"Compare runs from the same initial weights: \"rate=A,B,...\", "
     "\"method=online,randomized\" or \"iterations=...\" (repeatable: the cross product)",
     "Сравнить прогоны с одинаковыми начальными весами: \"rate=A,B,...\", "
     "\"method=online,randomized\" или \"iterations=...\" (можно повторять: все сочетания)"},
    {"Run every variant with this many seeds (from --seed on) and draw the mean curve with a "
     "band of one standard deviation",
     "Обучить каждый вариант с таким числом начальных значений (начиная с --seed) и нарисовать "
     "среднюю кривую с полосой в одно стандартное отклонение"},
    {"After the results, the warnings a teacher would give about the run, each with its "
     "iteration and help topic",
     "После результатов замечания, которые сделал бы преподаватель, каждое с итерацией и "
     "разделом справки"},
    {"After the run, a branch from this kept iteration of its history (0: the initial network)",
     "После обучения ветвь от этой сохранённой итерации его истории (0: начальная сеть)"},
    {"The branch's settings: \"method=...,rate=...,iterations=...,seed=N\" (unchanged when "
     "left out; without seed the generator goes on)",
     "Параметры ветви: \"method=...,rate=...,iterations=...,seed=N\" (пропущенные не меняются; "
     "без seed генератор продолжает свою последовательность)"},
    {"Run a training record again and say whether the run is identical",
     "Повторить обучение по записи эксперимента и сообщить, совпал ли результат"},
    {"The record written by train --record", "Запись, сделанная train --record"},
    // The Euler network and the study.
    {"The system: \"a1 b1 c1 d1 e1; a2 ...; ...\"", "Система: \"a1 b1 c1 d1 e1; a2 ...; ...\""},
    {"Initial values \"y1 y2 ...\"", "Начальные значения \"y1 y2 ...\""},
    {"The simulated interval \"T0,T1\"", "Интервал моделирования \"T0,T1\""},
    {"The time step H", "Шаг по времени H"},
    {"The description to write (.net)", "Записываемое описание (.net)"},
    {"Folder of the model file; beside the description by default",
     "Папка файла модели; по умолчанию рядом с описанием"},
    {"Exact solution yK, as K=FORMULA (repeatable)",
     "Точное решение yK в виде K=ФОРМУЛА (можно повторять)"},
    {"Number of halvings of the step", "Число делений шага пополам"},
    {"Write the table to this CSV file", "Записать таблицу в этот файл CSV"},
    // The explanation.
    {"The neuron, from 1", "Нейрон, начиная с 1"},
    {"The step, from 0", "Шаг, начиная с 0"},
    // Pictures.
    {"Write the picture as PNG to this file", "Записать рисунок в этот файл PNG"},
    {"Write the picture as SVG to this file", "Записать рисунок в этот файл SVG"},
    {"graphs (the default) or dynamics", "graphs (по умолчанию) или dynamics"},
    {"Graphs: lay the grid over the plot", "Графики: наложить сетку"},
    {"Dynamics: leave the box grid out", "Динамика: без сетки"},
    {"Graphs: grid size 40, 30, 20 or 10", "Графики: размер сетки 40, 30, 20 или 10"},
    {"Graphs: height 100, 80, 60 or 40 (%)", "Графики: высота 100, 80, 60 или 40 (%)"},
    {"Graphs: point spacing 1, 4, 8 or 16", "Графики: шаг точек 1, 4, 8 или 16"},
    {"Graphs: stretch the curves (default: compress)",
     "Графики: растянуть кривые (по умолчанию сжать)"},
    {"Graphs: the first step shown (the slider)", "Графики: первый показанный шаг (ползунок)"},
    {"Graphs: the curves shown, e.g. y1,rk1,exact1 (default: all present)",
     "Графики: показанные кривые, например y1,rk1,exact1 (по умолчанию все имеющиеся)"},
    {"Dynamics: the final values", "Динамика: конечные значения"},
    {"Dynamics: the columns at this step", "Динамика: столбики на этом шаге"},
    {"Dynamics: every column in cyan", "Динамика: все столбики голубым цветом"},
    {"Device pixel ratio of the PNG picture (1 to 4)",
     "Отношение пикселей устройства для рисунка PNG (от 1 до 4)"},
};

} // namespace

std::optional<std::string> russianText(const std::string& english) {
    const auto found = kTexts.find(english);
    if (found == kTexts.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace axolite::cli::manual
