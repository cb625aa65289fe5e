-- Stand-in for the satellite finder's main script. The real application
-- reads location.txt and the element sets in tle/; this one only names them.
local files = { "location.txt", "tle/visual.tle", "tle/iridium.tle", "update.txt" }
for _, name in ipairs(files) do
  print("ZenTrovia stand-in would read " .. name)
end
