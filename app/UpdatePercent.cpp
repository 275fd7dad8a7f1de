#include "app/UpdatePercent.h"

#include <limits>

namespace {

constexpr int kAll = 100;
constexpr int kLargest = std::numeric_limits<int>::max();

}  // namespace

int IntegerPercent(ULONGLONG done, ULONGLONG size)
{
    if (size == 0)
        return kAll;
    __extension__ typedef unsigned __int128 Wide;
    const Wide percent = static_cast<Wide>(done) * 100 / size;
    return percent > static_cast<Wide>(kLargest) ? kLargest : static_cast<int>(percent);
}

int SinglePrecisionPercent(ULONGLONG done, ULONGLONG size)
{
    if (size == 0)
        return kAll;
    const float quotient = static_cast<float>(static_cast<double>(done)) / static_cast<float>(static_cast<double>(size));
    const float percent = quotient * 100.0f;
    // 2^31 is the first float beyond int.
    return percent >= 2147483648.0f ? kLargest : static_cast<int>(percent);
}
