// Any bytes as a formula: the parser gives a program or a refusal, never a crash, and agrees bit
// for bit with the re-splitting evaluator in both dialects.
#include "core/reference/formula.h"
#include "core/reference/splitting_evaluator.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

using axolite::reference::Formula;
using axolite::reference::FormulaDialect;

void check(std::string_view text, FormulaDialect dialect) {
    const auto formula = Formula::parse(text, dialect);
    for (const double x : {0.0, -1.5, 0.3, 1e10}) {
        bool valid = false;
        const double expected = axolite::reference::evaluateBySplitting(text, dialect, x, valid);
        if (valid != formula.has_value()) {
            std::abort();
        }
        if (formula && std::bit_cast<std::uint64_t>(formula->evaluate(x)) !=
                           std::bit_cast<std::uint64_t>(expected)) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(text, FormulaDialect::Dependency);
    check(text, FormulaDialect::Activation);
    return 0;
}
