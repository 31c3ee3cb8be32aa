-- A tokenizer: scans a line of source text into token objects (numbers,
-- names, symbols) linked in a list, then walks the list calling each
-- token's weight method and counting the kinds in an array.
local Num, Name, Sym = {}, {}, {}
Num.__index, Name.__index, Sym.__index = Num, Name, Sym
function Num.weight(t) return t.value % 1000 end
function Name.weight(t) return #t.text end
function Sym.weight(t) return t.code end

local line = "let alpha = beta * 42 + gamma7 - (delta / 3); if x1 < 100 then y = y + 1 end"
local n = #line
local check = 0
local counts = {0, 0, 0}
for r = 1, 100000 do
  local head = nil
  local i = 1
  while i <= n do
    local c = line:byte(i)
    if c == 32 then
      i = i + 1
    elseif c >= 48 and c <= 57 then
      local v = 0
      repeat
        v = v * 10 + c - 48
        i = i + 1
        c = i <= n and line:byte(i) or 0
      until c < 48 or c > 57
      head = setmetatable({kind = 1, next = head, value = v + r}, Num)
    elseif c >= 97 and c <= 122 then
      local j = i
      repeat
        i = i + 1
        c = i <= n and line:byte(i) or 0
      until not ((c >= 97 and c <= 122) or (c >= 48 and c <= 57))
      head = setmetatable({kind = 2, next = head, text = line:sub(j, i - 1)}, Name)
    else
      head = setmetatable({kind = 3, next = head, code = c}, Sym)
      i = i + 1
    end
  end
  local t = head
  while t do
    check = check + t:weight()
    counts[t.kind] = counts[t.kind] + 1
    t = t.next
  end
end
print(check + counts[1] + counts[2] * 3 + counts[3] * 7)
