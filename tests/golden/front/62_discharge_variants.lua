local u = 5
local t = {7, k = "kv"}
local a = nil
local b = true
local c = 40000
local d = 1.5
local e = "s"
local g = t
local i = t[u - 4]
local j = t.k
local k = t[1]
local l = type
local m = function() end
local n = function() return u end
local p = n()
local q = #e
local r = u + 1
local s = g and u
local w = u < 9
print(a, b, c, d, e, g == t, i, j, k, l(m), p, q, r, s, w)
local function h(...)
  local x = u
  local y = ...
  return x, y
end
print(h(8, 9))
