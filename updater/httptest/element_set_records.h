// The fixed-size records of generated element sets.
#pragma once

#include <cstddef>
#include <string>

namespace zt::testing {

// A name line of 24 characters and two element lines of 69, each ended by CR LF.
inline constexpr std::size_t kElementRecordSize = 26 + 71 + 71;

// Satellite `index` of a generated set: exactly kElementRecordSize bytes.
std::string ElementRecord(std::size_t index);

}  // namespace zt::testing
