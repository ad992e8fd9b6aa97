// The Runge-Kutta step in the form the solver's loop runs it: the coefficients held by column and
// the four components computed as two pairs (y1, y2) and (y3, y4) in vector registers, each
// component exactly as the method is written (a vector operation rounds every lane as the scalar
// operation would).
#pragma once

#include "core/reference/runge_kutta.h"

#include <cstdint>

namespace axolite::reference {

// Two doubles side by side, and the lanes' bits.
using DoublePair = double __attribute__((vector_size(16)));
using BitsPair = std::int64_t __attribute__((vector_size(16)));

// The update y + w·s of the step, rounded as the extended-precision form rounds it:
// double(long double(y) + long double(w) · s), s = h·1/6 in extended precision. The extended
// operations would sit on the dependent chain of the steps (moving a value between the vector
// registers and the x87 stack goes through memory), so the update is computed in double,
// r = y + w·sHigh with sHigh = double(s), and r is taken when it is provably the extended form's
// result: the exact rounding error of the sum, plus bounds of the product's rounding, of w·sLow
// (sLow = s − sHigh) and of the two extended roundings, stays strictly inside half the gap between
// r and its nearer neighbour; then both forms round to r. The proof is off the chain (it only
// decides a branch, almost always the same way). It fails for about one update in a few hundred
// when y changes by little per step, always for zeros of y, non-finite or extreme values, and
// often when y changes by a good part of itself in one step: then the extended form computes.
class ExtendedUpdate {
public:
    explicit ExtendedUpdate(long double s) : s_(s), high_(static_cast<double>(s)) {
        const double magnitude = high_ < 0.0 ? -high_ : high_;
        usable_ = magnitude >= 0x1p-400 && magnitude <= 0x1p400;
    }

    // The extended-precision form itself.
    double extended(double y, double w) const {
        return static_cast<double>(static_cast<long double>(y) + static_cast<long double>(w) * s_);
    }

    // The double-precision candidates of two updates.
    DoublePair candidate(DoublePair y, DoublePair w) const { return y + w * high_; }

    // Per lane: all bits set when the candidate r equals extended(y, w) bit for bit (a lane
    // without them may still be equal).
    BitsPair proves(DoublePair y, DoublePair w, DoublePair r) const {
        const DoublePair p = w * high_;
        const DoublePair ay = magnitude(y), ap = magnitude(p), ar = magnitude(r);
        // w = 0: both add a zero of the same sign to y.
        const BitsPair zeroStep = (w == 0.0) & (ay <= 0x1p1023);
        const BitsPair inRange = (ap >= 0x1p-900) & (ap <= 0x1p900) & (ay <= 0x1p900) &
                                 (ar >= 0x1p-900) & (usable_ ? BitsPair{-1, -1} : BitsPair{});
        // The rounding error of the sum, exactly (Knuth's two-sum).
        const DoublePair yPart = r - p;
        const DoublePair sumError = (y - yPart) + (p - (r - yPart));
        // |w·sHigh − p| and |w·sLow| are at most 2^-53·|p| each (with a little to spare), the
        // extended product and sum move the result by at most 2^-64 of |w·s| and |r| each:
        // 2^-51·|p| + 2^-62·|r| covers them all and the rounding of this bound.
        const DoublePair bound = (magnitude(sumError) + ap * 0x1p-51) + ar * 0x1p-62;
        const DoublePair below = reinterpret_cast<DoublePair>(reinterpret_cast<BitsPair>(ar) - 1);
        const DoublePair halfGap = (ar - below) * 0.5; // the smaller of the gaps around r
        return zeroStep | (inRange & (bound < halfGap));
    }

private:
    static DoublePair magnitude(DoublePair v) {
        return reinterpret_cast<DoublePair>(reinterpret_cast<BitsPair>(v) &
                                            BitsPair{INT64_MAX, INT64_MAX});
    }

    long double s_;
    double high_;
    bool usable_ = false;
};

class RungeKuttaKernel {
public:
    // The state as the steps carry it: (y1, y2) and (y3, y4).
    struct Pairs {
        DoublePair first;
        DoublePair second;
    };

    RungeKuttaKernel(const LinearSystem& system, double h)
        : h_(h), update_(static_cast<long double>(h) * (1.0L / 6.0L)) {
        for (int half = 0; half < 2; ++half) {
            const auto& one = system.rows[2 * half];
            const auto& two = system.rows[2 * half + 1];
            a_[half] = DoublePair{one[0], two[0]};
            b_[half] = DoublePair{one[1], two[1]};
            c_[half] = DoublePair{one[2], two[2]};
            d_[half] = DoublePair{one[3], two[3]};
            e_[half] = DoublePair{one[4], two[4]};
        }
    }

    static Pairs pairsOf(const RungeKuttaState& y) {
        return {DoublePair{y[0], y[1]}, DoublePair{y[2], y[3]}};
    }
    static RungeKuttaState stateOf(const Pairs& y) {
        return {y.first[0], y.first[1], y.second[0], y.second[1]};
    }

    // f_k = (((a_k·y1 + b_k·y2) + c_k·y3) + d_k·y4) + e_k.
    [[gnu::always_inline]] Pairs rightHandSide(const Pairs& y) const {
        const DoublePair y1 = {y.first[0], y.first[0]};
        const DoublePair y2 = {y.first[1], y.first[1]};
        const DoublePair y3 = {y.second[0], y.second[0]};
        const DoublePair y4 = {y.second[1], y.second[1]};
        Pairs f;
        f.first = (((a_[0] * y1 + b_[0] * y2) + c_[0] * y3) + d_[0] * y4) + e_[0];
        f.second = (((a_[1] * y1 + b_[1] * y2) + c_[1] * y3) + d_[1] * y4) + e_[1];
        return f;
    }

    // One step of length h: the stages y + (h·k1)·0.5, y + (h·k2)·0.5, y + h·k3 and the update
    // y + ((k2 + k3)·2 + k1 + k4)·(h·1/6) with 1/6 in extended precision.
    // Always inlined: a call would pass the state through memory on the chain of the steps.
    [[gnu::always_inline]] Pairs step(const Pairs& y) const {
        const double h = h_;
        const Pairs k1 = rightHandSide(y);
        const Pairs k2 =
            rightHandSide({y.first + (h * k1.first) * 0.5, y.second + (h * k1.second) * 0.5});
        const Pairs k3 =
            rightHandSide({y.first + (h * k2.first) * 0.5, y.second + (h * k2.second) * 0.5});
        const Pairs k4 = rightHandSide({y.first + h * k3.first, y.second + h * k3.second});
        const Pairs w = {((k2.first + k3.first) * 2.0 + k1.first) + k4.first,
                         ((k2.second + k3.second) * 2.0 + k1.second) + k4.second};
        Pairs next = {update_.candidate(y.first, w.first), update_.candidate(y.second, w.second)};
        const BitsPair proven = update_.proves(y.first, w.first, next.first) &
                                update_.proves(y.second, w.second, next.second);
        if ((proven[0] & proven[1]) == 0) [[unlikely]] {
            next = extendedUpdate(y, w);
        }
        return next;
    }

    RungeKuttaState step(const RungeKuttaState& y) const { return stateOf(step(pairsOf(y))); }

private:
    Pairs extendedUpdate(const Pairs& y, const Pairs& w) const {
        return {DoublePair{update_.extended(y.first[0], w.first[0]),
                           update_.extended(y.first[1], w.first[1])},
                DoublePair{update_.extended(y.second[0], w.second[0]),
                           update_.extended(y.second[1], w.second[1])}};
    }

    double h_;
    ExtendedUpdate update_; // y + w·(h·1/6)
    DoublePair a_[2]{}, b_[2]{}, c_[2]{}, d_[2]{}, e_[2]{};
};

} // namespace axolite::reference
