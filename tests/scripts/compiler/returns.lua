local function pack(...) return ... end
local function pick(x, ...) return x, pack(...) end
local function tail(x) return pick(x, 2, 3) end
print(tail(1))
print((pack(4, 5)))
