// One Life generation over 32-bit pixels.
//
// The reference loop reads the nine pixels around each cell straight from
// the current image and writes in row-major order, which also makes it the
// definition of the in-place update when the two images share memory.
//
// The fast path, taken when the images are apart, turns each row of the
// current image into one byte per cell (1 live, 0 dead) once, keeps the
// last three such rows in a small ring on the stack and sums each 3 x 3
// neighbourhood from the bytes; those loops are plain enough for the
// compiler to vectorise. Wide images are cut into chunks of columns so the
// ring stays a fixed size: each pixel is then read once per chunk, plus one
// halo column on either side of a chunk.
//
// Freestanding: no allocation, no library calls, stack use bounded by the
// chunk size.
#include "life_step.h"

#include <cstddef>
#include <cstdint>

namespace {

using std::int32_t;
using std::int64_t;
using std::uint32_t;
using std::uint8_t;

// Output columns per chunk of the fast path; the ring holds three rows of
// kChunk + 2 bytes.
constexpr int32_t kChunk = 1024;

int32_t min32(int32_t a, int32_t b) { return a < b ? a : b; }

uint32_t* row_of(const Image& image, int32_t r) {
  return image.pixels + static_cast<std::ptrdiff_t>(r) * image.stride;
}

// The addresses [lo, hi) an image's rows can touch, as integers so that
// unrelated buffers compare without undefined pointer comparisons.
struct Span {
  int64_t lo;
  int64_t hi;
};

Span span_of(const Image& image, int32_t width, int32_t height) {
  const auto base = static_cast<int64_t>(reinterpret_cast<std::uintptr_t>(image.pixels));
  const int64_t last_row = static_cast<int64_t>(height - 1) * image.stride;
  const int64_t first = last_row < 0 ? last_row : 0;
  const int64_t end = (last_row > 0 ? last_row : 0) + width;
  constexpr auto kBytes = static_cast<int64_t>(sizeof(uint32_t));
  return {base + first * kBytes, base + end * kBytes};
}

// The fast path computes cells in a different order than row-major. That
// gives the same result only when no write can reach a pixel still to be
// read (the images are apart) and no two cells of next share a pixel (its
// rows do not overlap one another, so the last write need not win).
bool order_free(const Image& current, const Image& next, int32_t width, int32_t height) {
  const int64_t stride = next.stride;
  if (stride < width && -stride < width) return false;
  const Span a = span_of(current, width, height);
  const Span b = span_of(next, width, height);
  return a.hi <= b.lo || b.hi <= a.lo;
}

// Marks n cells of one row: 1 for a live cell, 0 for any other value.
void load_flags(const uint32_t* row, uint8_t* flags, int32_t n) {
  for (int32_t i = 0; i < n; ++i) flags[i] = row[i] == kLiveCell ? 1 : 0;
}

// Writes n cells from the flags of the rows above, at and below them.
// Flag i + 1 is the cell written to out[i]; flags i and i + 2 are its left
// and right neighbours.
void step_cells(const uint8_t* up, const uint8_t* mid, const uint8_t* down, uint32_t* out,
                int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    const uint8_t sum = static_cast<uint8_t>(up[i] + up[i + 1] + up[i + 2] + mid[i] + mid[i + 2] +
                                             down[i] + down[i + 1] + down[i + 2]);
    const uint32_t live = (sum == 3) | ((sum == 2) & mid[i + 1]);
    // 0xFF00FF00 for live, 0xFF000000 for dead, without a branch.
    out[i] = kDeadCell | ((0u - live) & (kLiveCell ^ kDeadCell));
  }
}

void fast_step(const Image& current, Image& next, int32_t width, int32_t height) {
  uint8_t ring[3][kChunk + 2];
  for (int32_t c0 = 1; c0 < width - 1; c0 += kChunk) {
    const int32_t n = min32(kChunk, width - 1 - c0);  // cells written per row
    // Flags cover columns c0 - 1 .. c0 + n: the chunk and one halo column
    // on either side.
    load_flags(row_of(current, 0) + (c0 - 1), ring[0], n + 2);
    load_flags(row_of(current, 1) + (c0 - 1), ring[1], n + 2);
    int up = 0, mid = 1, down = 2;
    for (int32_t r = 1; r < height - 1; ++r) {
      load_flags(row_of(current, r + 1) + (c0 - 1), ring[down], n + 2);
      step_cells(ring[up], ring[mid], ring[down], row_of(next, r) + c0, n);
      const int spent = up;
      up = mid;
      mid = down;
      down = spent;
    }
  }
}

}  // namespace

// Both functions take the smaller of the two widths and heights, so a
// caller that skipped the size check still stays inside both images.
// Negative strides are supported: rows then run towards lower addresses.

void life_step_reference(const Image& current, Image& next) {
  const int32_t width = min32(current.width, next.width);
  const int32_t height = min32(current.height, next.height);
  if (width < 3 || height < 3) return;
  for (int32_t r = 1; r < height - 1; ++r) {
    for (int32_t c = 1; c < width - 1; ++c) {
      int count = 0;
      for (int32_t dr = -1; dr <= 1; ++dr) {
        const uint32_t* row = row_of(current, r + dr);
        for (int32_t dc = -1; dc <= 1; ++dc) {
          if ((dr != 0 || dc != 0) && row[c + dc] == kLiveCell) ++count;
        }
      }
      const bool live = count == 3 || (count == 2 && row_of(current, r)[c] == kLiveCell);
      row_of(next, r)[c] = live ? kLiveCell : kDeadCell;
    }
  }
}

void life_step(const Image& current, Image& next) {
  const int32_t width = min32(current.width, next.width);
  const int32_t height = min32(current.height, next.height);
  if (width < 3 || height < 3) return;
  if (order_free(current, next, width, height)) {
    fast_step(current, next, width, height);
  } else {
    life_step_reference(current, next);
  }
}
