// The weekly window: open from local midnight starting StartDay up to local midnight starting EndDay.
#pragma once

#include <cstdint>

// weekday: 0 = Sunday through 6 = Saturday. Days outside 0..6 are taken as the rule gives
// them, so 7 acts as Sunday and -1 as Saturday; equal days never open.
bool IsWindowOpen(std::int32_t startDay, std::int32_t endDay, int weekday);
