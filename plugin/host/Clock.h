// The local calendar date, through the platform runtime.
#pragma once

namespace Clock {

// 0 = Sunday through 6 = Saturday.
int LocalWeekday();

} // namespace Clock
