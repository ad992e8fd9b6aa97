// Runs axolite-cli through the shell and collects its output and exit status.
#include "cli_runner.h"
#include "test_support.h"

#include <cstdio>
#include <sys/wait.h>

namespace axolite::test {

CliRun runShell(const std::string& command) {
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

CliRun runCli(const std::string& arguments) {
    return runShell(quoted(AXOLITE_CLI) + " " + arguments + " 2>/dev/null");
}

std::string exampleWithModels(const std::string& name) {
    return quoted(examplePath(name)) + " --models " + quoted(examplePath("models"));
}

std::string quoted(const std::filesystem::path& path) {
    std::string text;
    text.reserve(path.native().size() + 2);
    text.push_back('\'');
    text.append(path.native());
    text.push_back('\'');
    return text;
}

} // namespace axolite::test
