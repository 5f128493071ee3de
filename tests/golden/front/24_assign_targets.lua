local u, tt = 0, {}
local function set(v)
  u = v
  u = "k"
  g = v
  g = false
  tt.f = v
  tt.f = nil
  local t = tt
  t.h = v
  t.h = true
  t[2] = v
  t[2] = 2.5
  t[v] = v
  t[v] = "s"
end
set(1)
print(u, g, tt.f, tt.h, tt[2], tt[1])
