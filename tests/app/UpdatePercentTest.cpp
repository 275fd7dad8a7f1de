#include <gtest/gtest.h>

#include <climits>

#include "app/UpdatePercent.h"

namespace {

struct PercentCase {
    ULONGLONG done;
    ULONGLONG size;
    int integer;
    int singlePrecision;
};

TEST(UpdatePercent, BothFormsOfTheExamplesAndTheEdges)
{
    const PercentCase cases[] = {
        {0, 100, 0, 0},
        {25'000'000, 50'000'000, 50, 50},
        {99'000'000, 100'000'000, 99, 99},
        {999'999, 1'000'000, 99, 99},
        // The single-precision quotient rounds up where the integer one does not.
        {99'999'999, 100'000'000, 99, 100},
        {100'000'000, 100'000'000, 100, 100},
        // More received than listed is shown as it is.
        {150, 100, 150, 150},
        // Nothing to fetch counts as done.
        {0, 0, 100, 100},
        {7, 0, 100, 100},
        // Beyond the range of int: the largest int.
        {ULLONG_MAX, 1, INT_MAX, INT_MAX},
        {21'474'837, 1, INT_MAX, INT_MAX},
        {21'474'836, 1, 2'147'483'600, INT_MAX},
        // 64-bit counts: exact in the integer form, rounded to float in the other.
        {ULLONG_MAX / 2, ULLONG_MAX, 49, 50},
    };
    for (const PercentCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.done) + " of " + std::to_string(c.size));
        EXPECT_EQ(IntegerPercent(c.done, c.size), c.integer);
        EXPECT_EQ(SinglePrecisionPercent(c.done, c.size), c.singlePrecision);
    }
}

}  // namespace
