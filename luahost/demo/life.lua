-- Runs Conway's Game of Life on a 480 x 272 screen through Effect.lifeStep:
-- a glider gun in the upper left and an R-pentomino in the middle, saving a
-- PNG frame every few generations.
--   luaplayer demo/life.lua OUTPUT_FOLDER [GENERATIONS [EVERY]]
local out = assert(arg and arg[1], "usage: life.lua OUTPUT_FOLDER [GENERATIONS [EVERY]]")
local generations = tonumber(arg[2]) or 600
local every = tonumber(arg[3]) or 50
local WIDTH, HEIGHT = 480, 272
local LIVE = 0xFF00FF00

local gun = {
  "........................O...........",
  "......................O.O...........",
  "............OO......OO............OO",
  "...........O...O....OO............OO",
  "OO........O.....O...OO..............",
  "OO........O...O.OO....O.O...........",
  "..........O.....O.......O...........",
  "...........O...O....................",
  "............OO......................",
}
local r_pentomino = { ".OO", "OO.", ".O." }

local function place(img, rows, left, top)
  for y, row in ipairs(rows) do
    for x = 1, #row do
      if row:sub(x, x) == "O" then img:setPixel(left + x - 1, top + y - 1, LIVE) end
    end
  end
end

local current, next = Image.create(WIDTH, HEIGHT), Image.create(WIDTH, HEIGHT)
place(current, gun, 10, 10)
place(current, r_pentomino, WIDTH / 2, HEIGHT / 2)

local frames = 0
local function save(generation)
  local path = string.format("%s/frame-%04d.png", out, generation)
  assert(current:save(path))
  frames = frames + 1
end

save(0)
for generation = 1, generations do
  Effect.lifeStep(current, next)
  current, next = next, current
  if generation % every == 0 then save(generation) end
end
print(string.format("%d frames of %d generations in %s", frames, generations, out))
