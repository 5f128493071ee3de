local i, f, z = 5, 2.5, 0.0
local m = -9223372036854775807 - 1
local s = "hello"
local t = {1, 2, 3}
local n, b = nil, false
print(-i, -f, -z, -m, ~i, ~m)
print(not n, not b, not i, not s, not t)
print(#s, #t, #"abc", #"")
