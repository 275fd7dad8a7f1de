// The percentages the update windows show. A size of 0 shows 100; a value beyond the range of
// int shows INT_MAX. Values above 100 (more bytes received than listed) are shown as they are.
#pragma once

#include "platform/win/WinTypes.h"

// done x 100 / size, truncated, without overflow.
int IntegerPercent(ULONGLONG done, ULONGLONG size);
// done / size x 100 in single precision, each operand rounded through double to float,
// truncated: 999,999 of 1,000,000 give 99, 99,999,999 of 100,000,000 give 100.
int SinglePrecisionPercent(ULONGLONG done, ULONGLONG size);
