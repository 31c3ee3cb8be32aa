-- Heap sort of n pseudo-random integers (31-bit LCG), repeated; each round
-- checks the order and folds the sorted values into a checksum. Written
-- without the integer operators so LuaJIT runs it too: every intermediate
-- stays below 2^53, so doubles and integers give the same values, and the
-- LCG's product modulo 2^31 is taken in two halves of the multiplier.
local rounds, n = 5, 100000
local check = 0
local x = 1
for r = 1, rounds do
  local a = {}
  for i = 1, n do
    x = (x * 20077 + (x * 16838) % 32768 * 65536 + 12345) % 2147483648
    a[i] = x
  end
  local function sift(root, last)
    while true do
      local child = 2 * root
      if child > last then return end
      if child < last and a[child] < a[child + 1] then child = child + 1 end
      if a[root] >= a[child] then return end
      a[root], a[child] = a[child], a[root]
      root = child
    end
  end
  for i = math.floor(n / 2), 1, -1 do sift(i, n) end
  for last = n, 2, -1 do
    a[1], a[last] = a[last], a[1]
    sift(1, last - 1)
  end
  for i = 2, n do
    if a[i - 1] > a[i] then print("unsorted") return end
  end
  for i = 1, n do check = (check * 31 + a[i]) % 2147483648 end
end
print(check)
