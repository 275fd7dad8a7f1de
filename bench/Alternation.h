// Times our code against a reference tool in alternation (ours, reference, ours, reference...),
// so that a change in the machine's load meets both alike, and prints the best of each with the
// spread of its runs beside it. For steadier figures pin the benchmark, and with it the tools it
// starts, with taskset.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

constexpr int kRounds = 5;

inline double Seconds(const std::function<void()>& work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Timing {
    double best = 1e300;
    double worst = 0;

    void Add(double seconds)
    {
        best = std::min(best, seconds);
        worst = std::max(worst, seconds);
    }
    // How far the slowest run lies above the best, in percent of the best.
    double SpreadPercent() const { return 100 * (worst - best) / best; }
};

struct Comparison {
    Timing ours;
    Timing reference;
};

inline Comparison Alternate(const std::function<void()>& ours, const std::function<void()>& reference)
{
    Comparison comparison;
    for (int round = 0; round < kRounds; ++round) {
        comparison.ours.Add(Seconds(ours));
        comparison.reference.Add(Seconds(reference));
    }
    return comparison;
}

inline void PrintComparison(const char* what, const char* referenceName, const Comparison& c, double aim)
{
    std::printf("%s: %.3f s (spread %.0f%%); %s: %.3f s (spread %.0f%%); ratio %.3f, best of %d each "
                "(aim: at most %.2f)\n",
                what, c.ours.best, c.ours.SpreadPercent(), referenceName, c.reference.best,
                c.reference.SpreadPercent(), c.ours.best / c.reference.best, kRounds, aim);
    std::fflush(stdout);
}
