// The local date and time, for what the player reads and for file names.
#pragma once

#include <string>

// Now, in the local time zone, formatted by strftime's `format` (at most 39 characters).
std::string LocalTime(const char* format);
