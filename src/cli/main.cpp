// axolite-cli: the engine of the simulator without a display.
#include "cli/commands.h"

#include <csignal>
#include <cstdio>
#include <iostream>

#include <poll.h>
#include <unistd.h>

namespace {

// Whether everything printed reached standard output: a full device or a closed file fails
// the command, whatever it did, since its output is lost or cut short.
bool standardOutputWritten() {
    std::cout.flush();
    const bool streamGood = static_cast<bool>(std::cout);
    const bool flushed = std::fflush(stdout) == 0;
    return streamGood && flushed && std::ferror(stdout) == 0;
}

// Whether standard output is a pipe whose reading end was closed (`| head` has read enough).
bool readerHasGone() {
    pollfd out{STDOUT_FILENO, POLLOUT, 0};
    return poll(&out, 1, 0) == 1 && (out.revents & POLLERR) != 0;
}

} // namespace

int main(int argc, char** argv) {
    // A reader that stops early is no failure: writes to its pipe fail quietly instead of ending
    // the process, the command finishes its work (files it writes are written) and its status
    // is the one it would have had.
    std::signal(SIGPIPE, SIG_IGN);
    // A file that would outgrow the file-size limit fails its write like a full disk, and the
    // writer reports it, instead of the process ending without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    const int status = axolite::cli::runCommandLine(argc, argv);
    if (!standardOutputWritten() && !readerHasGone()) {
        std::cerr << "Ошибка при записи стандартного вывода" << '\n';
        return axolite::cli::UsageError;
    }
    return status;
}
