-- Method calls in a loop: an object with a field and a method.
local Counter = {}
Counter.__index = Counter
function Counter.add(self, k) self.n = self.n + k return self.n end
local c = setmetatable({n = 0}, Counter)
for i = 1, 10000000 do c:add(1) end
print(c.n)
