// SPDX-License-Identifier: GPL-2.0-or-later
// Progress arithmetic of a running job.
#pragma once

#include <cstdint>

namespace calvex::job {

// position * 100 / (duration + 1) in signed 64-bit arithmetic, truncated
// toward zero; the low 32 bits of the quotient. A divisor of 0 (duration -1)
// or an overflowing quotient gives 0 instead of a fault.
int32_t ProgressPercent(int64_t position, int64_t duration);

// The value the bar shows: the percentage held within 0..100.
int32_t ClampProgress(int32_t percent);

} // namespace calvex::job
