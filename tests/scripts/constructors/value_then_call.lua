local function h() return "a", "b" end
local u = {1, h()}
local w = {"s", h()}
print(#u, u[1], u[2], u[3], #w, w[1], w[2], w[3])
