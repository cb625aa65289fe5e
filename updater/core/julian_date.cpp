#include "julian_date.h"

#include <charconv>

namespace zt {

long JulianDayNumber(int y, int m, int d) {
  long a = (m - 14) / 12;
  return (1461L * (y + 4800 + a)) / 4 + (367L * (m - 2 - 12 * a)) / 12 -
         (3L * ((y + 4900 + a) / 100)) / 4 + d - 32075;
}

double JulianDate(const LocalTime& t) {
  long ms = ((t.hour * 60L + t.minute) * 60L + t.second) * 1000L + t.milliseconds;
  return static_cast<double>(JulianDayNumber(t.year, t.month, t.day)) - 0.5 +
         static_cast<double>(ms) / 86400000.0;
}

std::string FormatGeneral(double value, const NumberFormat& format) {
  char text[64];
  auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
  std::string s(text, ec == std::errc() ? end : text);
  for (char& c : s)
    if (c == '.') c = format.decimal_separator;
  return s;
}

}  // namespace zt
