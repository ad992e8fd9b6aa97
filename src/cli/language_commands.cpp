// `axolite-cli lex` and `axolite-cli check`: the token stream and the check of a description
// file, as the check command of the editor produces them.
#include "cli/check_report.h"
#include "cli/commands.h"
#include "cli/input_streams.h"

#include "core/common/number_text.h"
#include "core/language/description_text.h"
#include "core/language/lexer.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <memory>
#include <string>

namespace axolite::cli {

namespace {

struct FileOptions {
    std::string path;
    bool json = false;
};

const char* tokenName(double value, std::int32_t flag) {
    if (flag == 0) {
        return value == static_cast<double>(language::ZeroMarker) ? "zero" : "number";
    }
    switch (static_cast<std::int32_t>(value)) {
    case language::KwNeurons:
        return "neurons";
    case language::KwInitState:
        return "initstate";
    case language::KwSimTime:
        return "simtime";
    case language::KwTimeStep:
        return "timestep";
    case language::KwInputLayer:
        return "inputlayer";
    case language::KwOutputLayer:
        return "outputlayer";
    case language::KwNetworkLayout:
        return "networklayout";
    case language::EndOfStream:
        return "end of stream";
    case language::KwModel:
        return "model";
    case language::LeftParen:
        return "(";
    case language::RightParen:
        return ")";
    case language::LeftBrace:
        return "{";
    case language::RightBrace:
        return "}";
    case language::KwSuspend:
        return "suspend";
    case language::Comma:
        return ",";
    case language::Semicolon:
        return ";";
    case language::Unrecognised:
        return "unrecognised text";
    case language::KwWeight:
        return "weight";
    case language::KwNeuron:
        return "neuron";
    case language::EndOfLine:
        return "end of line";
    case language::NumberTooLarge:
        return "number too large";
    default:
        return "?";
    }
}

// Prints the lexer's view of the file: the character total, the capacity and every token.
int lexFile(const FileOptions& options) {
    const auto text = readDescriptionInput(options.path);
    if (!text) {
        std::cerr << unreadableFileText(options.path) << '\n';
        return UsageError;
    }
    const std::int64_t total = language::characterTotal(*text);
    const std::size_t capacity = language::streamCapacity(*text);
    language::TokenStream tokens;
    std::optional<std::size_t> count;
    std::optional<Message> message;
    if (total <= 2) {
        message = Message{MessageKind::Information, language::kNotDescribedText};
        count = 0;
    } else {
        count = language::lexLines(*text, capacity, tokens);
        if (!count) {
            message = Message{MessageKind::Information, language::kUnrecognisedDescriptionText};
        }
    }
    const std::size_t shown = tokens.empty() ? 0 : language::tokenCount(tokens);
    if (options.json) {
        nlohmann::ordered_json json;
        json["total"] = total;
        json["capacity"] = capacity;
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (std::size_t i = 0; i < shown; ++i) {
            list.push_back({tokens.values[i], tokens.flag(i)});
        }
        json["tokens"] = std::move(list);
        if (message) {
            json["message"] = {{"icon", messageKindName(message->kind)}, {"text", message->text}};
        }
        std::cout << json.dump(1) << '\n';
    } else {
        std::cout << "Всего символов : " << total << '\n';
        std::cout << "Ёмкость потока : " << capacity << '\n';
        for (std::size_t i = 0; i < shown; ++i) {
            std::cout << i << '\t' << formatNumber("%.17g", tokens.values[i]) << '\t'
                      << tokens.flag(i) << '\t' << tokenName(tokens.values[i], tokens.flag(i))
                      << '\n';
        }
        if (message) {
            std::cout << "Сообщение: " << message->text << '\n';
        }
    }
    return message ? Refused : Done;
}

int checkFile(const FileOptions& options) {
    const auto text = readDescriptionInput(options.path);
    if (!text) {
        std::cerr << unreadableFileText(options.path) << '\n';
        return UsageError;
    }
    language::NetworkRecord record;
    const CheckOutcome outcome = runCheck(*text, record);
    if (options.json) {
        std::cout << checkJson(outcome, record).dump(1) << '\n';
    } else {
        printCheckText(std::cout, outcome);
    }
    return outcome.correct() ? Done : Refused;
}

void addFileCommand(CLI::App& app, int& status, const char* name, const char* description,
                    int (*action)(const FileOptions&)) {
    auto options = std::make_shared<FileOptions>();
    CLI::App* command = app.add_subcommand(name, description);
    command->add_option("file", options->path, "Description file (.net)")->required();
    command->add_flag("--json", options->json, "Print one JSON object");
    command->callback([options, &status, action] { status = action(*options); });
}

} // namespace

void addLanguageCommands(CLI::App& app, int& status) {
    addFileCommand(app, status, "lex", "Print the token stream of a description", lexFile);
    addFileCommand(app, status, "check", "Check a description as the check window does", checkFile);
}

} // namespace axolite::cli
