// The Runge-Kutta step in the form the solver's loop runs it: the coefficients held by column so
// that the four components are computed side by side, each exactly as the method is written.
#pragma once

#include "core/reference/runge_kutta.h"

namespace axolite::reference {

class RungeKuttaKernel {
public:
    RungeKuttaKernel(const LinearSystem& system, double h)
        : h_(h), sixthOfStep_(static_cast<long double>(h) * (1.0L / 6.0L)) {
        for (int k = 0; k < language::kOutputCount; ++k) {
            const auto& row = system.rows[k];
            a_[k] = row[0];
            b_[k] = row[1];
            c_[k] = row[2];
            d_[k] = row[3];
            e_[k] = row[4];
        }
    }

    // f_k = (((a_k·y1 + b_k·y2) + c_k·y3) + d_k·y4) + e_k.
    RungeKuttaState rightHandSide(const RungeKuttaState& y) const {
        RungeKuttaState f;
        for (int k = 0; k < language::kOutputCount; ++k) {
            f[k] = (((a_[k] * y[0] + b_[k] * y[1]) + c_[k] * y[2]) + d_[k] * y[3]) + e_[k];
        }
        return f;
    }

    // One step of length h: the stages y + (h·k1)·0.5, y + (h·k2)·0.5, y + h·k3 and the update
    // y + ((k2 + k3)·2 + k1 + k4)·(h·1/6) with 1/6 in extended precision.
    RungeKuttaState step(const RungeKuttaState& y) const {
        constexpr int n = language::kOutputCount;
        const double h = h_;
        RungeKuttaState stage;
        const RungeKuttaState k1 = rightHandSide(y);
        for (int k = 0; k < n; ++k) {
            stage[k] = y[k] + (h * k1[k]) * 0.5;
        }
        const RungeKuttaState k2 = rightHandSide(stage);
        for (int k = 0; k < n; ++k) {
            stage[k] = y[k] + (h * k2[k]) * 0.5;
        }
        const RungeKuttaState k3 = rightHandSide(stage);
        for (int k = 0; k < n; ++k) {
            stage[k] = y[k] + h * k3[k];
        }
        const RungeKuttaState k4 = rightHandSide(stage);
        RungeKuttaState next;
        for (int k = 0; k < n; ++k) {
            const double weighted = ((k2[k] + k3[k]) * 2.0 + k1[k]) + k4[k];
            next[k] = static_cast<double>(static_cast<long double>(y[k]) +
                                          static_cast<long double>(weighted) * sixthOfStep_);
        }
        return next;
    }

private:
    double h_;
    long double sixthOfStep_; // h·1/6
    RungeKuttaState a_{}, b_{}, c_{}, d_{}, e_{};
};

} // namespace axolite::reference
