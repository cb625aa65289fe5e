// One generation of Conway's Game of Life over the pixels of an image:
// 0xFF00FF00 (opaque green) is a live cell, every other value a dead one.
// Freestanding: no allocation, no library beyond <cstdint>.
#pragma once

#include <cstdint>

#include "image.h"

inline constexpr std::uint32_t kLiveCell = 0xFF00FF00u;
inline constexpr std::uint32_t kDeadCell = 0xFF000000u;

// Computes the interior cells (rows 1 .. height-2, columns 1 .. width-2) of
// current into next; border pixels of next are not written. The caller has
// checked that both images have the same width and height. When the two
// images share pixel memory the cells are updated in row-major order, each
// reading what was already written above and to its left.
void life_step(const Image& current, Image& next);

// The straightforward nine-read loop, kept as the reference the fast path
// is tested and measured against.
void life_step_reference(const Image& current, Image& next);
