// The numeric view's table as CSV text.
#include "core/views/series_table.h"

#include "core/common/number_text.h"

#include "core/reference/computation.h"
#include "core/views/series.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <span>

namespace axolite::views {

namespace {

using language::kOutputCount;
using language::NetworkRecord;
using language::SeriesFamily;

constexpr std::array<SeriesFamily, 3> kFamilies{SeriesFamily::Network, SeriesFamily::RungeKutta,
                                                SeriesFamily::Exact};
constexpr std::array<const char*, 3> kColumnPrefixes{"y", "rk", "exact"};

} // namespace

std::string seriesTableHeader(const NetworkRecord& record) {
    std::string header = "i,x";
    for (std::size_t f = 0; f < kFamilies.size(); ++f) {
        for (int k = 0; k < kOutputCount; ++k) {
            if (seriesPresent(record, kFamilies[f], k)) {
                header += ',';
                header += kColumnPrefixes[f];
                header += std::to_string(k + 1);
            }
        }
    }
    header += '\n';
    return header;
}

void appendSeriesTableRows(const NetworkRecord& record, std::int32_t first, std::int32_t count,
                           std::string& out) {
    std::array<std::span<const double>, 12> columns;
    std::size_t used = 0;
    for (const SeriesFamily family : kFamilies) {
        for (int k = 0; k < kOutputCount; ++k) {
            if (seriesPresent(record, family, k)) {
                columns[used++] = seriesValues(record, family, k);
            }
        }
    }
    const std::int64_t begin = std::max<std::int64_t>(first, 0);
    const std::int64_t end = std::min<std::int64_t>(
        static_cast<std::int64_t>(first) + std::max(count, 0), gridPointCount(record));
    for (std::int64_t j = begin; j < end; ++j) {
        char index[24];
        out.append(index, std::to_chars(index, index + sizeof index, j).ptr);
        out += ',';
        appendShortestNumberText(reference::gridPoint(record, j), out);
        for (std::size_t c = 0; c < used; ++c) {
            out += ',';
            if (static_cast<std::size_t>(j) < columns[c].size()) {
                appendShortestNumberText(columns[c][static_cast<std::size_t>(j)], out);
            }
        }
        out += '\n';
    }
}

} // namespace axolite::views
