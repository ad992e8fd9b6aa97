// The identity checks of a benchmark program and its main. A check compares a result of the
// engine with that of its baseline (the plain loop it replaces, the evaluator it must agree with)
// bit for bit, on the benchmark's own data. The checks run before any timing, and a failing one
// stops the program; `bench_<name> --smoke` runs only the checks (the test command's smoke run).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace axolite::bench {

// Nothing when the results agree, otherwise what differs.
using IdentityCheck = std::function<std::string()>;

struct NamedCheck {
    const char* name;
    IdentityCheck check;
};

inline std::vector<NamedCheck>& identityChecks() {
    static std::vector<NamedCheck> checks;
    return checks;
}

inline bool registerIdentityCheck(const char* name, IdentityCheck check) {
    identityChecks().push_back({name, std::move(check)});
    return true;
}

// Runs every check and reports each; true when all agree.
inline bool runIdentityChecks() {
    bool agree = true;
    for (const NamedCheck& named : identityChecks()) {
        const std::string difference = named.check();
        std::printf("%s: %s\n", named.name, difference.empty() ? "identical" : difference.c_str());
        agree = agree && difference.empty();
    }
    std::fflush(stdout);
    return agree;
}

// Takes "--smoke" out of the arguments; true when it was there.
inline bool takeSmokeFlag(int& argc, char** argv) {
    bool smoke = false;
    int kept = 0;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::strcmp(argv[i], "--smoke") == 0) {
            smoke = true;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    return smoke;
}

// The checks, then (without --smoke) the benchmarks. Non-zero when a check fails.
inline int benchmarkMain(int argc, char** argv) {
    const bool smoke = takeSmokeFlag(argc, argv);
    if (!runIdentityChecks()) {
        return 1;
    }
    if (smoke) {
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace axolite::bench

// Defines an identity check: a function returning "" when the results agree, or what differs.
#define AXOLITE_IDENTITY_CHECK(name)                                                               \
    std::string name();                                                                            \
    [[maybe_unused]] const bool name##Registered =                                                 \
        ::axolite::bench::registerIdentityCheck(#name, name);                                      \
    std::string name()

#define AXOLITE_BENCHMARK_MAIN()                                                                   \
    int main(int argc, char** argv) {                                                              \
        return ::axolite::bench::benchmarkMain(argc, argv);                                        \
    }
