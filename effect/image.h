// The Lua host's image record, as plug-ins see it. A host image reaches a
// plug-in as a userdata whose block begins with the address of this record.
// In the 32-bit console build the record begins with five 32-bit words.
#pragma once

#include <cstddef>
#include <cstdint>

struct Image {
  std::int32_t stride;    // pixels from the start of one row to the next
  std::uint32_t reserved; // not read by plug-ins
  std::int32_t width;     // signed
  std::int32_t height;    // signed
  std::uint32_t* pixels;  // first pixel; 32-bit pixels, row after row
};

static_assert(offsetof(Image, stride) == 0);
static_assert(offsetof(Image, width) == 8);
static_assert(offsetof(Image, height) == 12);
static_assert(offsetof(Image, pixels) == 16);
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(Image) == 20, "five 32-bit words on the console");
#endif
