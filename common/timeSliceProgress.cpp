#include "timeSliceProgress.h"

#include <algorithm>

namespace {
constexpr int kDefaultStepMax = 10;
} // namespace

TimeSliceProgress timeSliceProgress(int step, int stepMax)
{
    if (stepMax == 0)
        return { kDefaultStepMax, std::min(step, kDefaultStepMax) };
    return { stepMax, step };
}
