// Generated element sets: fixed-size records, so that any byte range of a
// large set can be produced without the rest.
#include "element_set_records.h"

#include <cstdio>

#include "http_server.h"

namespace zt::testing {

int ElementLineChecksum(const std::string& line) {
  int sum = 0;
  for (std::size_t i = 0; i < 68 && i < line.size(); ++i) {
    char c = line[i];
    if (c >= '0' && c <= '9') sum += c - '0';
    if (c == '-') sum += 1;
  }
  return sum % 10;
}

namespace {

std::string WithChecksum(std::string line) {
  return line + static_cast<char>('0' + ElementLineChecksum(line));
}

}  // namespace

std::string ElementRecord(std::size_t index) {
  // Values vary with the index but stay in their columns.
  int catalogue = 10000 + static_cast<int>(index % 90000);
  double day = 1.0 + static_cast<double>(index % 36500) / 100.0;
  double inclination = static_cast<double>(index % 1800) / 10.0;
  double raan = static_cast<double>((index * 7) % 3600) / 10.0;
  int eccentricity = static_cast<int>((index * 31) % 10000000);
  double perigee = static_cast<double>((index * 13) % 3600) / 10.0;
  double anomaly = static_cast<double>((index * 17) % 3600) / 10.0;
  double motion = 1.0 + static_cast<double>(index % 1500) / 100.0;
  int revolution = static_cast<int>(index % 100000);
  int element = static_cast<int>(index % 1000);

  char name[32], line1[80], line2[80];
  std::snprintf(name, sizeof name, "%-24.24s", ("ZT-SAT " + std::to_string(index)).c_str());
  std::snprintf(line1, sizeof line1,
                "1 %05dU 08%03dA   08%012.8f -.00002182  00000-0 -11606-4 0 %4d", catalogue,
                static_cast<int>(index % 1000), day, element);
  std::snprintf(line2, sizeof line2, "2 %05d %8.4f %8.4f %07d %8.4f %8.4f %11.8f%5d", catalogue,
                inclination, raan, eccentricity, perigee, anomaly, motion, revolution);
  return std::string(name) + "\r\n" + WithChecksum(line1) + "\r\n" + WithChecksum(line2) + "\r\n";
}

std::string MakeElementSet(int count) {
  std::string set;
  set.reserve(static_cast<std::size_t>(count) * kElementRecordSize);
  for (int i = 0; i < count; ++i) set += ElementRecord(static_cast<std::size_t>(i));
  return set;
}

}  // namespace zt::testing
