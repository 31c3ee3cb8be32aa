-- Counted loop summing integers, folded below 10^9 so every VM agrees.
local s = 0
for i = 1, 100000000 do
  s = s + i
  if s > 1000000000 then s = s - 1000000000 end
end
print(s)
