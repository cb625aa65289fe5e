// One Life generation over 32-bit pixels.
//
// The reference loop reads the nine pixels around each cell straight from
// the current image and writes in row-major order, which also makes it the
// definition of the in-place update when the two images share memory.
//
// The fast path, taken when the images are apart, turns each row of the
// current image into one flag byte per cell once, keeps the last three
// such rows in a small ring on the stack and sums each 3 x 3 neighbourhood
// from the bytes: 32 cells at a time with AVX2, 16 with SSE2, one at a time
// on other targets. Images wider than one chunk of columns are done chunk
// by chunk, each from top to bottom, so the ring stays a fixed size: each
// pixel is then read once per chunk, plus one halo column on either side.
//
// Freestanding: no allocation, no library calls, about 12 KiB of stack.
#include "life_step.h"

#include <cstddef>
#include <cstdint>

namespace {

using std::int32_t;
using std::int64_t;
using std::uint32_t;
using std::uint8_t;

// Output columns per chunk of the fast path; the ring holds three rows of
// kChunk + 2 bytes. A chunk wide enough for common images keeps their rows
// in address order, which the hardware prefetcher follows far better than
// page-sized slices of many rows.
constexpr int32_t kChunk = 4096;

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

// Row flags hold 0xFF for a live cell and 0 for any other value: all-ones
// bytes, so that the vector code can keep compare results as they are.

// Flags cells from .. n - 1 of one row.
void load_flags_from(const uint32_t* row, uint8_t* flags, int32_t from, int32_t n) {
  for (int32_t i = from; i < n; ++i) flags[i] = row[i] == kLiveCell ? 0xFF : 0;
}

// Writes cells from .. n - 1 from the flags of the rows above, at and below
// them. Flag i + 1 is the cell written to out[i]; flags i and i + 2 are its
// left and right neighbours.
void step_cells_from(const uint8_t* up, const uint8_t* mid, const uint8_t* down, uint32_t* out,
                     int32_t from, int32_t n) {
  for (int32_t i = from; i < n; ++i) {
    const int count = (up[i] & 1) + (up[i + 1] & 1) + (up[i + 2] & 1) + (mid[i] & 1) +
                      (mid[i + 2] & 1) + (down[i] & 1) + (down[i + 1] & 1) + (down[i + 2] & 1);
    const bool live = count == 3 || (count == 2 && mid[i + 1] != 0);
    out[i] = live ? kLiveCell : kDeadCell;
  }
}

#if defined(__GNUC__) && defined(__SSE2__)
// Sixteen cells at a time with the compiler's SSE2 built-ins (no headers,
// no library). Other targets use the loops above for every cell.
typedef int v4si __attribute__((vector_size(16)));
typedef short v8hi __attribute__((vector_size(16)));
typedef char v16qi __attribute__((vector_size(16)));
typedef int v4si_u __attribute__((vector_size(16), aligned(1), may_alias));
typedef char v16qi_u __attribute__((vector_size(16), aligned(1), may_alias));

v4si load4(const uint32_t* p) { return *reinterpret_cast<const v4si_u*>(p); }
v16qi load16(const uint8_t* p) { return *reinterpret_cast<const v16qi_u*>(p); }

void load_flags(const uint32_t* row, uint8_t* flags, int32_t n) {
  const v4si live = v4si{} + static_cast<int>(kLiveCell);
  int32_t i = 0;
  for (; i + 16 <= n; i += 16) {
    // Compare masks are -1 or 0; saturating packs keep them so.
    const v4si a = load4(row + i) == live, b = load4(row + i + 4) == live;
    const v4si c = load4(row + i + 8) == live, d = load4(row + i + 12) == live;
    const v16qi f = __builtin_ia32_packsswb128(__builtin_ia32_packssdw128(a, b),
                                               __builtin_ia32_packssdw128(c, d));
    *reinterpret_cast<v16qi_u*>(flags + i) = f;
  }
  load_flags_from(row, flags, i, n);
}

void step_cells(const uint8_t* up, const uint8_t* mid, const uint8_t* down, uint32_t* out,
                int32_t n) {
  const v16qi zero = {};
  const v8hi top = v8hi{} + static_cast<short>(kDeadCell >> 16);
  int32_t i = 0;
  for (; i + 16 <= n; i += 16) {
    // Each live neighbour adds -1 to its byte.
    const v16qi sum = load16(up + i) + load16(up + i + 1) + load16(up + i + 2) + load16(mid + i) +
                      load16(mid + i + 2) + load16(down + i) + load16(down + i + 1) +
                      load16(down + i + 2);
    const v16qi live = (v16qi)((sum == -3) | ((sum == -2) & load16(mid + i + 1)));
    // Bytes 0, mask, 0, 0xFF of each pixel: 0xFF00FF00 or 0xFF000000.
    const v8hi lo = (v8hi)__builtin_ia32_punpcklbw128(zero, live);
    const v8hi hi = (v8hi)__builtin_ia32_punpckhbw128(zero, live);
    v4si_u* o = reinterpret_cast<v4si_u*>(out + i);
    o[0] = (v4si)__builtin_ia32_punpcklwd128(lo, top);
    o[1] = (v4si)__builtin_ia32_punpckhwd128(lo, top);
    o[2] = (v4si)__builtin_ia32_punpcklwd128(hi, top);
    o[3] = (v4si)__builtin_ia32_punpckhwd128(hi, top);
  }
  step_cells_from(up, mid, down, out, i, n);
}
#else
void load_flags(const uint32_t* row, uint8_t* flags, int32_t n) {
  load_flags_from(row, flags, 0, n);
}

void step_cells(const uint8_t* up, const uint8_t* mid, const uint8_t* down, uint32_t* out,
                int32_t n) {
  step_cells_from(up, mid, down, out, 0, n);
}
#endif

#if defined(__GNUC__) && defined(__x86_64__) && !defined(LIFE_STEP_NO_AVX2)
// Thirty-two cells at a time where the processor and the OS offer AVX2,
// found with CPUID as there is no run-time library to ask. Remainders go to
// the kernels above.
#define LIFE_STEP_AVX2 1
#define AVX2 __attribute__((target("avx2")))

typedef int v8si __attribute__((vector_size(32)));
typedef short v16hi __attribute__((vector_size(32)));
typedef char v32qi __attribute__((vector_size(32)));
typedef int v8si_u __attribute__((vector_size(32), aligned(1), may_alias));
typedef char v32qi_u __attribute__((vector_size(32), aligned(1), may_alias));

bool probe_avx2() {
  unsigned a, b, c, d;
  __asm__("cpuid" : "=a"(a), "=b"(b), "=c"(c), "=d"(d) : "a"(0), "c"(0));
  if (a < 7) return false;
  __asm__("cpuid" : "=a"(a), "=b"(b), "=c"(c), "=d"(d) : "a"(1), "c"(0));
  const unsigned kOsxsave = 1u << 27, kAvx = 1u << 28;
  if ((c & kOsxsave) == 0 || (c & kAvx) == 0) return false;
  unsigned lo, hi;
  __asm__("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
  if ((lo & 6) != 6) return false;  // the OS saves XMM and YMM registers
  __asm__("cpuid" : "=a"(a), "=b"(b), "=c"(c), "=d"(d) : "a"(7), "c"(0));
  return (b & (1u << 5)) != 0;
}

// CPUID can cost microseconds under a hypervisor, more than a small image
// takes, so the answer is kept: 0 not asked yet, 1 no, 2 yes. Threads that
// race here store the same value.
int avx2_known = 0;

bool has_avx2() {
  int known = __atomic_load_n(&avx2_known, __ATOMIC_RELAXED);
  if (known == 0) {
    known = probe_avx2() ? 2 : 1;
    __atomic_store_n(&avx2_known, known, __ATOMIC_RELAXED);
  }
  return known == 2;
}

AVX2 inline v8si load8(const uint32_t* p) { return *reinterpret_cast<const v8si_u*>(p); }
AVX2 inline v32qi load32(const uint8_t* p) { return *reinterpret_cast<const v32qi_u*>(p); }

AVX2 void load_flags_avx2(const uint32_t* row, uint8_t* flags, int32_t n) {
  const v8si live = v8si{} + static_cast<int>(kLiveCell);
  // The packs work within each 128-bit half, leaving groups of four flags
  // in the order 0, 2, 4, 6, 1, 3, 5, 7; the permutation puts them back.
  const v8si order = {0, 4, 1, 5, 2, 6, 3, 7};
  int32_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const v8si a = load8(row + i) == live, b = load8(row + i + 8) == live;
    const v8si c = load8(row + i + 16) == live, d = load8(row + i + 24) == live;
    const v32qi f = __builtin_ia32_packsswb256(__builtin_ia32_packssdw256(a, b),
                                               __builtin_ia32_packssdw256(c, d));
    *reinterpret_cast<v8si_u*>(flags + i) = __builtin_ia32_permvarsi256((v8si)f, order);
  }
  load_flags(row + i, flags + i, n - i);
}

AVX2 void step_cells_avx2(const uint8_t* up, const uint8_t* mid, const uint8_t* down, uint32_t* out,
                          int32_t n) {
  const v32qi zero = {};
  const v16hi top = v16hi{} + static_cast<short>(kDeadCell >> 16);
  // The unpacks also work within halves; this order of the groups of four
  // masks makes them produce pixels 0-7, 8-15, 16-23 and 24-31.
  const v8si order = {0, 2, 4, 6, 1, 3, 5, 7};
  int32_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const v32qi sum = load32(up + i) + load32(up + i + 1) + load32(up + i + 2) + load32(mid + i) +
                      load32(mid + i + 2) + load32(down + i) + load32(down + i + 1) +
                      load32(down + i + 2);
    const v32qi live = (v32qi)((sum == -3) | ((sum == -2) & load32(mid + i + 1)));
    const v32qi mask = (v32qi)__builtin_ia32_permvarsi256((v8si)live, order);
    const v16hi lo = (v16hi)__builtin_ia32_punpcklbw256(zero, mask);
    const v16hi hi = (v16hi)__builtin_ia32_punpckhbw256(zero, mask);
    v8si_u* o = reinterpret_cast<v8si_u*>(out + i);
    o[0] = (v8si)__builtin_ia32_punpcklwd256(lo, top);
    o[1] = (v8si)__builtin_ia32_punpckhwd256(lo, top);
    o[2] = (v8si)__builtin_ia32_punpcklwd256(hi, top);
    o[3] = (v8si)__builtin_ia32_punpckhwd256(hi, top);
  }
  step_cells(up + i, mid + i, down + i, out + i, n - i);
}
#undef AVX2
#endif

struct Kernels {
  void (*load)(const uint32_t* row, uint8_t* flags, int32_t n);
  void (*step)(const uint8_t* up, const uint8_t* mid, const uint8_t* down, uint32_t* out,
               int32_t n);
};

Kernels pick_kernels() {
#if defined(LIFE_STEP_AVX2)
  if (has_avx2()) return {load_flags_avx2, step_cells_avx2};
#endif
  return {load_flags, step_cells};
}

void fast_step(const Image& current, Image& next, int32_t width, int32_t height) {
  const Kernels k = pick_kernels();
  uint8_t ring[3][kChunk + 2];
  for (int32_t c0 = 1; c0 < width - 1; c0 += kChunk) {
    const int32_t n = min32(kChunk, width - 1 - c0);  // cells written per row
    // Flags cover columns c0 - 1 .. c0 + n: the chunk and one halo column
    // on either side.
    k.load(row_of(current, 0) + (c0 - 1), ring[0], n + 2);
    k.load(row_of(current, 1) + (c0 - 1), ring[1], n + 2);
    int up = 0, mid = 1, down = 2;
    for (int32_t r = 1; r < height - 1; ++r) {
      k.load(row_of(current, r + 1) + (c0 - 1), ring[down], n + 2);
      k.step(ring[up], ring[mid], ring[down], row_of(next, r) + c0, n);
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
