-- Evolves a glider through Effect.lifeStep for four generations and checks
-- that it reappeared one cell down and one cell right. Run by the host:
--   luaplayer [--modules DIR] glider.lua
local LIVE, DEAD = 0xFF00FF00, 0xFF000000
local SIZE = 12

assert(type(Effect) == "table" and type(Effect.lifeStep) == "function",
       "the effect plug-in did not register Effect.lifeStep")

local glider = { {1, 0}, {2, 1}, {0, 2}, {1, 2}, {2, 2} }  -- {x, y}, heading down-right

local function live_cells(img)
  local cells = {}
  for y = 0, img:height() - 1 do
    for x = 0, img:width() - 1 do
      if img:pixel(x, y) == LIVE then cells[#cells + 1] = x .. "," .. y end
    end
  end
  table.sort(cells)
  return table.concat(cells, " ")
end

local function expected(dx, dy)
  local cells = {}
  for _, c in ipairs(glider) do cells[#cells + 1] = (c[1] + dx) .. "," .. (c[2] + dy) end
  table.sort(cells)
  return table.concat(cells, " ")
end

-- Different strides on purpose: each image is addressed with its own.
local current, next = Image.create(SIZE, SIZE), Image.create(SIZE, SIZE, SIZE + 5)
for _, c in ipairs(glider) do current:setPixel(c[1] + 2, c[2] + 2, LIVE) end
assert(live_cells(current) == expected(2, 2))

for generation = 1, 4 do
  local results = select("#", Effect.lifeStep(current, next))
  assert(results == 0, "lifeStep returned " .. results .. " values")
  current, next = next, current
end

local got, want = live_cells(current), expected(3, 3)
if got ~= want then
  error("after four generations: " .. got .. "; expected " .. want)
end
print("glider moved by (1, 1): " .. got)
