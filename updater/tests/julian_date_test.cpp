#include "julian_date.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(JulianDate, StampTexts) {
  const struct {
    LocalTime t;
    const char* text;
  } cases[] = {
      {{2008, 1, 1, 0, 0, 0, 0}, "2454466.5"},
      {{2008, 1, 1, 0, 0, 1, 0}, "2454466.50001157"},
      {{2008, 1, 1, 12, 0, 0, 0}, "2454467"},
      {{2008, 1, 1, 18, 0, 0, 0}, "2454467.25"},
      {{2000, 1, 1, 12, 0, 0, 0}, "2451545"},
      {{2000, 2, 29, 12, 0, 0, 0}, "2451604"},  // a leap day, January/February rule
      {{2026, 12, 31, 23, 59, 59, 999}, "2461406.49999999"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatGeneral(JulianDate(c.t), {'.', ','}), c.text) << c.text;
}

TEST(JulianDate, FormatUsesTheGivenSeparatorOnly) {
  EXPECT_EQ(FormatGeneral(2454467.25, {',', '.'}), "2454467,25");
  EXPECT_EQ(FormatGeneral(2454467.0, {',', '.'}), "2454467");
  EXPECT_EQ(FormatGeneral(1234567.123456789012, {'.', ','}), "1234567.12345679");
}

TEST(JulianDate, DayNumbers) {
  EXPECT_EQ(JulianDayNumber(2000, 1, 1), 2451545);
  EXPECT_EQ(JulianDayNumber(1858, 11, 17), 2400001);  // the epoch of the modified date
  EXPECT_EQ(JulianDayNumber(2008, 3, 1) - JulianDayNumber(2008, 2, 28), 2);
  EXPECT_EQ(JulianDayNumber(2100, 3, 1) - JulianDayNumber(2100, 2, 28), 1);
}

}  // namespace
}  // namespace zt
