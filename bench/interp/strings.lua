-- String building: append the decimal text of n numbers with a separator,
-- then count one character and split at the separator. Prints a checksum.
local rounds, n = 1000, 2000
local check = 0
for r = 1, rounds do
  local b = {}
  for i = 1, n do
    b[#b + 1] = tostring(i * r)
    b[#b + 1] = ";"
  end
  local s = table.concat(b)
  local _, sevens = s:gsub("7", "")
  local pieces, len = 0, 0
  for piece in s:gmatch("[^;]+") do
    pieces = pieces + 1
    len = len + #piece
  end
  check = check + sevens + pieces + len + #s
end
print(check)
