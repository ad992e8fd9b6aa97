// The console side of a training run of `axolite-cli train`: its messages and its refusal.
#include "cli/commands.h"
#include "cli/train_command.h"

#include <iostream>

namespace axolite::cli {

TrainingHooks consoleHooks(const TrainOptions& options, nlohmann::json& messages) {
    TrainingHooks hooks;
    hooks.show = [&options, &messages](const Message& message) {
        if (options.json) {
            messages.push_back({{"icon", messageKindName(message.kind)}, {"text", message.text}});
        } else {
            std::cout << message.text << '\n';
        }
    };
    hooks.answered = [&options](bool yes) {
        if (!options.json) {
            std::cout << (yes ? "Да" : "Нет") << '\n';
        }
    };
    return hooks;
}

int reportRefusal(const TrainOptions& options, const TrainingHooks& hooks, const Message& message,
                  const nlohmann::json& messages) {
    hooks.show(message);
    if (options.json) {
        nlohmann::ordered_json json;
        json["messages"] = messages;
        std::cout << json.dump(1) << '\n';
    }
    return Refused;
}

} // namespace axolite::cli
