// The plot command's choice of curves, read where the options are checked and where the graphs
// are drawn (in the pictures module, which links this alone).
#include "cli/plot_command.h"

#include <CLI/CLI.hpp>

#include <utility>

namespace axolite::cli {

// "y1".."y4", "rk1".."rk4", "exact1".."exact4": the names of the CSV columns.
CurveChoice chosenCurves(const std::vector<std::string>& names) {
    CurveChoice shown{};
    if (names.empty()) {
        for (auto& family : shown) {
            family.fill(true);
        }
        return shown;
    }
    const std::pair<const char*, language::SeriesFamily> prefixes[] = {
        {"y", language::SeriesFamily::Network},
        {"rk", language::SeriesFamily::RungeKutta},
        {"exact", language::SeriesFamily::Exact}};
    for (const std::string& name : names) {
        bool known = false;
        for (const auto& [prefix, family] : prefixes) {
            const std::string p = prefix;
            if (name.size() == p.size() + 1 && name.compare(0, p.size(), p) == 0 &&
                name.back() >= '1' && name.back() <= '4') {
                shown[static_cast<std::size_t>(family)][name.back() - '1'] = true;
                known = true;
            }
        }
        if (!known) {
            throw CLI::ValidationError("--curves", "unknown curve \"" + name +
                                                       "\" (y1..y4, rk1..rk4, exact1..exact4)");
        }
    }
    return shown;
}

} // namespace axolite::cli
