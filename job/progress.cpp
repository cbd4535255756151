// SPDX-License-Identifier: GPL-2.0-or-later
#include "job/progress.h"

#include <algorithm>
#include <limits>

namespace calvex::job {

int32_t ProgressPercent(int64_t position, int64_t duration)
{
    // Wrap-around multiplication and addition, as 64-bit registers do, but
    // without the undefined behaviour of signed overflow.
    const auto product = static_cast<int64_t>(static_cast<uint64_t>(position) * 100u);
    const auto divisor = static_cast<int64_t>(static_cast<uint64_t>(duration) + 1u);
    if (divisor == 0)
        return 0;
    if (divisor == -1 && product == std::numeric_limits<int64_t>::min())
        return 0;
    const int64_t quotient = product / divisor;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(quotient)));
}

int32_t ClampProgress(int32_t percent)
{
    return std::clamp<int32_t>(percent, 0, 100);
}

} // namespace calvex::job
