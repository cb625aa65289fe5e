// The Life step, checked against a small model of the rule on a dense grid,
// for both the fast function and the reference loop; then the fast function
// against the reference on random layouts, apart and overlapping.
#include "life_step.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using std::int32_t;
using std::size_t;
using std::uint32_t;

constexpr uint32_t L = kLiveCell;
constexpr uint32_t D = kDeadCell;
// Fills memory the step must not touch: row gaps, guards, borders.
constexpr uint32_t kUntouched = 0x5A5A5A5Au;

// The fast path works in chunks of this many columns and blocks of 16 or
// 32 cells; widths around both matter.
constexpr int32_t kChunkColumns = 4096;

// Values that are not a live cell although they are close to one.
constexpr uint32_t kNearLive[] = {0x0000FF00u, 0xFE00FF00u, 0xFF00FF01u, 0x7F00FF00u,
                                  0xFF01FF00u, 0xFF00FE00u, 0x00000000u, 0xFFFFFFFFu};

// ---- A dense model of the rule -------------------------------------------

struct Grid {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> cells;

  Grid(int32_t w, int32_t h, uint32_t fill = D)
      : width(w), height(h), cells(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}
  uint32_t& at(int32_t r, int32_t c) { return cells[static_cast<size_t>(r * width + c)]; }
  uint32_t at(int32_t r, int32_t c) const { return cells[static_cast<size_t>(r * width + c)]; }
};

// Grid from rows of text: 'O' live, '.' dead.
Grid parse(const std::vector<std::string>& rows) {
  Grid g(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()));
  for (int32_t r = 0; r < g.height; ++r)
    for (int32_t c = 0; c < g.width; ++c)
      g.at(r, c) = rows[static_cast<size_t>(r)][static_cast<size_t>(c)] == 'O' ? L : D;
  return g;
}

uint32_t rule(int live_neighbours, uint32_t centre) {
  if (live_neighbours == 3) return L;
  if (live_neighbours == 2 && centre == L) return L;
  return D;
}

int live_around(const Grid& g, int32_t r, int32_t c) {
  int n = 0;
  for (int32_t dr = -1; dr <= 1; ++dr)
    for (int32_t dc = -1; dc <= 1; ++dc)
      if ((dr || dc) && g.at(r + dr, c + dc) == L) ++n;
  return n;
}

// The next generation of the interior; border cells are copied unchanged.
Grid model_step(const Grid& cur) {
  Grid next = cur;
  for (int32_t r = 1; r < cur.height - 1; ++r)
    for (int32_t c = 1; c < cur.width - 1; ++c)
      next.at(r, c) = rule(live_around(cur, r, c), cur.at(r, c));
  return next;
}

// The same image as both arguments: row-major, each cell seeing the new
// values above it and to its left.
void model_step_in_place(Grid& g) {
  for (int32_t r = 1; r < g.height - 1; ++r)
    for (int32_t c = 1; c < g.width - 1; ++c) g.at(r, c) = rule(live_around(g, r, c), g.at(r, c));
}

// Mostly live and dead cells, with some near-live values among the dead.
void randomise(Grid& g, std::mt19937& rng, unsigned live_percent) {
  for (uint32_t& v : g.cells) {
    const unsigned roll = rng() % 100;
    if (roll < live_percent) {
      v = L;
    } else if (roll % 4 == 0) {
      v = kNearLive[rng() % std::size(kNearLive)];
    } else {
      v = D;
    }
  }
}

// ---- Images laid out in a buffer ------------------------------------------

struct Layout {
  int32_t width;
  int32_t height;
  int32_t stride;
};

// Words from the lowest to the highest address the rows reach.
size_t span_words(const Layout& l) {
  if (l.width <= 0 || l.height <= 0) return 0;
  return static_cast<size_t>(std::abs(l.stride)) * static_cast<size_t>(l.height - 1) +
         static_cast<size_t>(l.width);
}

// Index of pixel (r, c) in a buffer whose image span begins at `start`;
// with a negative stride row 0 is the last row in memory.
size_t index_of(const Layout& l, size_t start, int32_t r, int32_t c) {
  const long row0 = l.stride < 0 ? static_cast<long>(-l.stride) * (l.height - 1) : 0;
  return static_cast<size_t>(static_cast<long>(start) + row0 + static_cast<long>(r) * l.stride + c);
}

Image image_at(std::vector<uint32_t>& mem, size_t start, const Layout& l) {
  Image img{};
  img.stride = l.stride;
  img.reserved = 0;
  img.width = l.width;
  img.height = l.height;
  img.pixels = mem.data() + index_of(l, start, 0, 0);
  return img;
}

// An image with its own buffer, guard words before and after it and
// kUntouched in the gaps between rows.
struct Picture {
  static constexpr size_t kGuard = 8;
  Layout layout;
  std::vector<uint32_t> mem;
  Image image;

  explicit Picture(const Layout& l)
      : layout(l),
        mem(span_words(l) + 2 * kGuard + 1, kUntouched),
        image(image_at(mem, kGuard, l)) {}
  Picture(const Layout& l, const Grid& g) : Picture(l) { store(g); }

  void store(const Grid& g) {
    for (int32_t r = 0; r < g.height; ++r)
      for (int32_t c = 0; c < g.width; ++c) mem[index_of(layout, kGuard, r, c)] = g.at(r, c);
  }
  // What the buffer should hold after a step that wrote `next` into the
  // interior: every other word as it is now.
  std::vector<uint32_t> expect_interior(const Grid& next) const {
    std::vector<uint32_t> want = mem;
    for (int32_t r = 1; r < next.height - 1; ++r)
      for (int32_t c = 1; c < next.width - 1; ++c)
        want[index_of(layout, kGuard, r, c)] = next.at(r, c);
    return want;
  }
};

Grid to_grid(const Picture& p) {
  Grid g(p.layout.width, p.layout.height);
  for (int32_t r = 0; r < g.height; ++r)
    for (int32_t c = 0; c < g.width; ++c)
      g.at(r, c) = p.mem[index_of(p.layout, Picture::kGuard, r, c)];
  return g;
}

// ---- Behaviour shared by both functions ------------------------------------

using StepFn = void (*)(const Image&, Image&);
struct Variant {
  const char* name;
  StepFn step;
};

void PrintTo(const Variant& v, std::ostream* os) { *os << v.name; }

class LifeStepTest : public ::testing::TestWithParam<Variant> {
 protected:
  void step(const Image& cur, Image& next) { GetParam().step(cur, next); }

  // Runs one step from `cur` in layout `from` into a next image in layout
  // `to` prefilled with `next_fill`, and checks the interior against the
  // model and that nothing else in next's buffer changed.
  void expect_step(const Grid& cur, const Layout& from, const Layout& to, const Grid& next_fill) {
    Picture a(from, cur);
    Picture b(to, next_fill);
    const std::vector<uint32_t> before = a.mem;
    const std::vector<uint32_t> want = b.expect_interior(model_step(cur));
    step(a.image, b.image);
    EXPECT_EQ(a.mem, before) << "current image was written";
    EXPECT_EQ(b.mem, want);
  }
};

TEST_P(LifeStepTest, FollowsTheRuleForEveryNeighbourhood) {
  // What the centre becomes for each number of live neighbours.
  struct Row {
    int neighbours;
    uint32_t from_dead;
    uint32_t from_live;
  };
  constexpr Row kRule[] = {
      {0, D, D}, {1, D, D}, {2, D, L}, {3, L, L}, {4, D, D},
      {5, D, D}, {6, D, D}, {7, D, D}, {8, D, D},
  };
  constexpr int kDr[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
  constexpr int kDc[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
  const Layout three{3, 3, 3};
  // Every subset of the eight neighbours, around a dead and a live centre.
  for (unsigned subset = 0; subset < 256; ++subset) {
    for (const uint32_t centre : {D, L}) {
      Picture cur(three);
      Picture next(three, Grid(3, 3, kUntouched));
      int count = 0;
      for (int k = 0; k < 8; ++k) {
        const bool live = (subset >> k) & 1u;
        count += live;
        cur.mem[index_of(three, Picture::kGuard, 1 + kDr[k], 1 + kDc[k])] = live ? L : D;
      }
      cur.mem[index_of(three, Picture::kGuard, 1, 1)] = centre;
      step(cur.image, next.image);
      const Row& row = kRule[count];
      EXPECT_EQ(next.mem[index_of(three, Picture::kGuard, 1, 1)],
                centre == L ? row.from_live : row.from_dead)
          << "neighbour set 0x" << std::hex << subset << ", centre 0x" << centre;
    }
  }
}

TEST_P(LifeStepTest, OnlyExactOpaqueGreenIsLive) {
  for (const uint32_t odd : kNearLive) {
    SCOPED_TRACE(testing::Message() << "value 0x" << std::hex << odd);
    // Centre, then the eight neighbours from the top left, row by row.
    struct Case {
      uint32_t cells[9];
      uint32_t want;
    };
    const Case cases[] = {
        // Three odd neighbours would make three: the centre stays dead.
        {{D, odd, odd, odd, D, D, D, D, D}, D},
        // Two live and one odd: two, so a dead centre stays dead...
        {{D, L, L, odd, D, D, D, D, D}, D},
        // ...and three live and one odd: three, so a live centre lives.
        {{L, L, L, L, odd, D, D, D, D}, L},
        // An odd centre with two live neighbours is a dead centre.
        {{odd, L, L, D, D, D, D, D, D}, D},
        // Two live and six odd around a live centre: two, so it lives.
        {{L, L, L, odd, odd, odd, odd, odd, odd}, L},
    };
    for (const Case& k : cases) {
      Grid g(3, 3);
      g.at(1, 1) = k.cells[0];
      const int32_t pos[8][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 1}, {2, 2}};
      for (int i = 0; i < 8; ++i) g.at(pos[i][0], pos[i][1]) = k.cells[i + 1];
      Picture cur({3, 3, 3}, g);
      Picture next({3, 3, 3}, Grid(3, 3, kUntouched));
      step(cur.image, next.image);
      EXPECT_EQ(next.mem[index_of(next.layout, Picture::kGuard, 1, 1)], k.want);
    }
  }
}

TEST_P(LifeStepTest, WritesTheInteriorOnlyAndKeepsBordersGapsAndGuards) {
  std::mt19937 rng(17);
  const Layout layouts[] = {{3, 3, 3},   {5, 4, 9},   {4, 7, 4},
                            {40, 6, 45}, {19, 5, 19}, {kChunkColumns + 6, 4, kChunkColumns + 9}};
  for (const Layout& l : layouts) {
    SCOPED_TRACE(testing::Message() << l.width << "x" << l.height << " stride " << l.stride);
    Grid cur(l.width, l.height);
    randomise(cur, rng, 40);
    // Next starts with values the step never writes, so any stray or
    // missing write shows.
    Grid junk(l.width, l.height);
    for (uint32_t& v : junk.cells) v = 0x10000000u + (rng() & 0xFFFFu);
    expect_step(cur, l, l, junk);
  }
}

TEST_P(LifeStepTest, AddressesEachImageWithItsOwnStride) {
  std::mt19937 rng(23);
  const int32_t w = 13, h = 9;
  struct Strides {
    int32_t current;
    int32_t next;
  };
  const Strides cases[] = {{w, w},  {w + 3, w},        {w, w + 5},    {w + 64, w + 1},
                           {-w, w}, {w + 2, -(w + 4)}, {-(w + 1), -w}};
  for (const Strides& s : cases) {
    SCOPED_TRACE(testing::Message() << "strides " << s.current << ", " << s.next);
    Grid cur(w, h);
    randomise(cur, rng, 35);
    expect_step(cur, {w, h, s.current}, {w, h, s.next}, Grid(w, h, kUntouched));
  }
}

TEST_P(LifeStepTest, SmallAndEmptyImages) {
  std::mt19937 rng(5);
  for (int32_t w = -1; w <= 4; ++w) {
    for (int32_t h = -1; h <= 4; ++h) {
      SCOPED_TRACE(testing::Message() << w << "x" << h);
      const int32_t stride = w > 0 ? w + 1 : 2;
      // Buffers sized for at least a 2 x 2 image, so that a step reading
      // or writing where it should not lands inside them and shows.
      const int32_t cw = w > 2 ? w : 2, ch = h > 2 ? h : 2;
      Picture cur({cw, ch, stride}), next({cw, ch, stride});
      Grid g(cw, ch);
      randomise(g, rng, 60);
      cur.store(g);
      cur.image.width = next.image.width = w;
      cur.image.height = next.image.height = h;
      std::vector<uint32_t> want = next.mem;
      if (w >= 3 && h >= 3) want = next.expect_interior(model_step(g));
      step(cur.image, next.image);
      EXPECT_EQ(next.mem, want);
    }
  }
}

TEST_P(LifeStepTest, ImagesOfDifferentSizesStayInsideBoth) {
  // Callers check the sizes first; should one not, the step keeps to the
  // rows and columns both images have.
  std::mt19937 rng(41);
  Grid cur(8, 6);
  randomise(cur, rng, 50);
  Grid common(5, 6);
  for (int32_t r = 0; r < 6; ++r)
    for (int32_t c = 0; c < 5; ++c) common.at(r, c) = cur.at(r, c);
  const Grid stepped = model_step(common);
  Picture next({5, 7, 5}, Grid(5, 7, kUntouched));
  std::vector<uint32_t> want = next.mem;
  for (int32_t r = 1; r < 5; ++r)
    for (int32_t c = 1; c < 4; ++c)
      want[index_of(next.layout, Picture::kGuard, r, c)] = stepped.at(r, c);
  Picture a({8, 6, 8}, cur);
  step(a.image, next.image);
  EXPECT_EQ(next.mem, want);
}

TEST_P(LifeStepTest, SameImageTwiceUpdatesInPlaceRowByRow) {
  std::mt19937 rng(31);
  const Layout layouts[] = {
      {6, 6, 6}, {17, 11, 20}, {kChunkColumns + 50, 5, kChunkColumns + 50}, {9, 8, -12}};
  for (const Layout& l : layouts) {
    SCOPED_TRACE(testing::Message() << l.width << "x" << l.height << " stride " << l.stride);
    Grid g(l.width, l.height);
    randomise(g, rng, 45);
    Picture p(l, g);
    Grid want = g;
    model_step_in_place(want);
    ASSERT_NE(want.cells, model_step(g).cells) << "case does not tell in-place from apart";
    std::vector<uint32_t> want_mem = p.expect_interior(want);

    step(p.image, p.image);
    EXPECT_EQ(p.mem, want_mem) << "one record";

    // Two records over the same pixels are the same image too.
    p.store(g);
    Image other = p.image;
    step(p.image, other);
    EXPECT_EQ(p.mem, want_mem) << "two records";
  }
}

TEST_P(LifeStepTest, KnownPatternsOverGenerations) {
  struct Pattern {
    const char* name;
    std::vector<std::string> start;
    int period;                // generations until it repeats
    int32_t shift_r, shift_c;  // where it has moved by then
  };
  const Pattern patterns[] = {
      {"block", {"......", ".OO...", ".OO...", "......", "......"}, 1, 0, 0},
      {"blinker", {".......", ".......", "..OOO..", ".......", "......."}, 2, 0, 0},
      {"glider",
       {"..........", "..O.......", "...O......", ".OOO......", "..........", "..........",
        "..........", "..........", "..........", ".........."},
       4,
       1,
       1},
  };
  for (const Pattern& pat : patterns) {
    SCOPED_TRACE(pat.name);
    Grid g = parse(pat.start);
    const Layout l{g.width, g.height, g.width + 2};
    Picture a(l, g), b(l, g);
    Picture* from = &a;
    Picture* to = &b;
    Grid model = g;
    for (int gen = 1; gen <= 3 * pat.period; ++gen) {
      step(from->image, to->image);
      model = model_step(model);
      ASSERT_EQ(to_grid(*to).cells, model.cells) << "generation " << gen;
      std::swap(from, to);
    }
    // After three periods the pattern is back in shape, moved by three
    // shifts (the block and blinker stay put).
    Grid moved(g.width, g.height);
    for (int32_t r = 0; r < g.height; ++r)
      for (int32_t c = 0; c < g.width; ++c) {
        const int32_t sr = r - 3 * pat.shift_r, sc = c - 3 * pat.shift_c;
        if (sr >= 0 && sc >= 0) moved.at(r, c) = g.at(sr, sc);
      }
    EXPECT_EQ(to_grid(*from).cells, moved.cells);
  }
  // The blinker alternates between a row and a column.
  Grid row = parse({".....", ".....", ".OOO.", ".....", "....."});
  Picture a({5, 5, 5}, row), b({5, 5, 5}, row);
  step(a.image, b.image);
  EXPECT_EQ(to_grid(b).cells, parse({".....", "..O..", "..O..", "..O..", "....."}).cells);
}

INSTANTIATE_TEST_SUITE_P(Both, LifeStepTest,
                         ::testing::Values(Variant{"fast", life_step},
                                           Variant{"reference", life_step_reference}),
                         [](const ::testing::TestParamInfo<Variant>& info) {
                           return std::string(info.param.name);
                         });

// ---- The fast function against the reference loop -------------------------

// Two images placed in one buffer at word offsets, possibly overlapping;
// the step runs once with each function on its own copy of the buffer and
// the whole buffers must agree.
struct Placement {
  Layout current;
  size_t current_at;
  Layout next;
  size_t next_at;
};

void expect_same_as_reference(const Placement& p, std::mt19937& rng, unsigned live_percent) {
  const size_t size =
      std::max(p.current_at + span_words(p.current), p.next_at + span_words(p.next)) + 4;
  std::vector<uint32_t> fast(size);
  for (uint32_t& v : fast) {
    const unsigned roll = rng() % 100;
    v = roll < live_percent ? L : (roll % 3 ? D : kNearLive[rng() % std::size(kNearLive)]);
  }
  std::vector<uint32_t> slow = fast;
  const Image fc = image_at(fast, p.current_at, p.current);
  Image fn = image_at(fast, p.next_at, p.next);
  const Image sc = image_at(slow, p.current_at, p.current);
  Image sn = image_at(slow, p.next_at, p.next);
  life_step(fc, fn);
  life_step_reference(sc, sn);
  ASSERT_EQ(fast, slow);
}

TEST(LifeStepFast, MatchesReferenceOnSeparateImages) {
  // Small widths, widths around blocks of 16 cells (width - 2 cells are
  // written per row) and around the chunk of columns.
  const int32_t widths[] = {3,
                            4,
                            5,
                            8,
                            17,
                            18,
                            19,
                            33,
                            34,
                            35,
                            64,
                            65,
                            kChunkColumns - 1,
                            kChunkColumns,
                            kChunkColumns + 1,
                            kChunkColumns + 2,
                            kChunkColumns + 3,
                            2 * kChunkColumns + 2,
                            2 * kChunkColumns + 19};
  std::mt19937 rng(2024);
  for (const int32_t w : widths) {
    for (int round = 0; round < 4; ++round) {
      const int32_t h = 3 + static_cast<int32_t>(rng() % (w > 500 ? 3 : 24));
      auto stride = [&](int32_t width) {
        const int32_t s = width + static_cast<int32_t>(rng() % 3 == 0 ? rng() % 9 : 0);
        return rng() % 4 == 0 ? -s : s;
      };
      const Layout cur{w, h, stride(w)};
      const Layout next{w, h, stride(w)};
      SCOPED_TRACE(testing::Message()
                   << w << "x" << h << " strides " << cur.stride << ", " << next.stride);
      // Next right after current, then current right after next.
      expect_same_as_reference({cur, 0, next, span_words(cur)}, rng,
                               10 + 20 * static_cast<unsigned>(round));
      expect_same_as_reference({cur, span_words(next) + 3, next, 0}, rng, 50);
    }
  }
}

TEST(LifeStepFast, MatchesReferenceWhenImagesOverlap) {
  std::mt19937 rng(77);
  struct Shape {
    int32_t w, h, stride;
  };
  // A negative stride puts current's rows below its first pixel, where a
  // next image placed after that pixel would still overlap them.
  const Shape shapes[] = {{6, 6, 6},
                          {12, 9, 15},
                          {40, 20, 40},
                          {kChunkColumns + 6, 4, kChunkColumns + 6},
                          {10, 7, -10}};
  for (const Shape& s : shapes) {
    const Layout l{s.w, s.h, s.stride};
    const size_t room = span_words(l);
    // Offsets of next from current in words: one row down or up, one
    // column either way, most of the image away, and other strides.
    const long st = std::abs(s.stride);
    struct Offset {
      long words;
      int32_t next_stride;
    };
    const Offset offsets[] = {{0, s.stride},
                              {st, s.stride},
                              {-st, s.stride},
                              {1, s.stride},
                              {-1, s.stride},
                              {st * (s.h - 2), s.stride},
                              {-st * (s.h - 2) + 1, s.stride},
                              {2, s.stride + 1},
                              {st, s.stride - 1},
                              {3, s.w - 2},
                              {0, -s.stride}};
    for (const Offset& o : offsets) {
      SCOPED_TRACE(testing::Message() << s.w << "x" << s.h << " stride " << s.stride << ": next at "
                                      << o.words << " stride " << o.next_stride);
      const Layout next{s.w, s.h, o.next_stride};
      const size_t base = room + 4;  // room for next before current
      expect_same_as_reference(
          {l, base, next, static_cast<size_t>(static_cast<long>(base) + o.words)}, rng, 45);
    }
  }
}

TEST(LifeStepFast, MatchesReferenceWhenNextRowsOverlapEachOther) {
  // Rows of next closer than its width: cells share pixels, and the last
  // write in row-major order must win.
  // Wide enough that the fast path would work in several column chunks.
  std::mt19937 rng(9);
  for (const int32_t w : {10, kChunkColumns + 100}) {
    for (const int32_t next_stride : {0, 1, 5, -3, w - 1, w - 70}) {
      SCOPED_TRACE(testing::Message() << w << " wide, next stride " << next_stride);
      const Layout cur{w, 7, w};
      const Layout next{w, 7, next_stride};
      expect_same_as_reference({cur, 0, next, span_words(cur) + 2}, rng, 50);
    }
  }
}

}  // namespace
