// A description window without a frame, whose record the view tests fill as they need: the grid,
// the series of the three families with their presence and statistics, the simulated flag.
#pragma once

#include "app/gui/description_window.h"
#include "core/views/series.h"

#include <QString>

#include <cmath>
#include <functional>
#include <vector>

class FakeDescription : public DescriptionWindow {
public:
    axolite::language::NetworkRecord& record() override { return record_; }
    const axolite::language::NetworkRecord& record() const override { return record_; }
    const QString& path() const override { return path_; }
    QString displayName() const override { return QStringLiteral("ring.net"); }
    bool computing() const override { return computing_; }

    // The grid [t0, t1) with step h; simulated.
    void setGrid(double t0, double t1, double h) {
        record_.t0 = t0;
        record_.t1 = t1;
        record_.h = h;
        record_.steps = axolite::views::gridPointCount(record_);
        record_.simulated = 1;
    }
    // Series k of the family with these values, present, with its statistics.
    void setSeries(axolite::language::SeriesFamily family, int k, std::vector<double> values) {
        using axolite::language::SeriesFamily;
        auto& present = family == SeriesFamily::Network      ? record_.networkPresent
                        : family == SeriesFamily::RungeKutta ? record_.rungeKuttaPresent
                                                             : record_.exactPresent;
        auto& series = family == SeriesFamily::Network      ? record_.outputSeries
                       : family == SeriesFamily::RungeKutta ? record_.rungeKuttaSeries
                                                            : record_.exactSeries;
        series[k] = std::move(values);
        present[k] = 1;
        record_.stats(family, k) = axolite::views::seriesStatistics(series[k]);
    }
    // Series k of the family as f(j) over the grid's N points.
    void setSeries(axolite::language::SeriesFamily family, int k,
                   const std::function<double(int)>& f) {
        std::vector<double> values(static_cast<std::size_t>(record_.steps));
        for (int j = 0; j < record_.steps; ++j) {
            values[static_cast<std::size_t>(j)] = f(j);
        }
        setSeries(family, k, std::move(values));
    }

    bool computing_ = false;

private:
    axolite::language::NetworkRecord record_;
    QString path_ = QStringLiteral("/tmp/ring.net");
};
