// The Julian Date of a local date and time, and its text in the update stamp.
#pragma once

#include <string>

#include "platform.h"

namespace zt {

// Julian Day Number of a Gregorian date (integer rule, quotients truncated).
long JulianDayNumber(int year, int month, int day);
// The Julian Date of a local time, not converted to UTC.
double JulianDate(const LocalTime& t);
// General format with 15 significant digits, rounded; trailing zeros and a
// bare point dropped; the locale's decimal separator, no thousands
// separator. Independent of the C library's locale.
std::string FormatGeneral(double value, const NumberFormat& format);

}  // namespace zt
