local _a1, Ab_9, And = 1, 2, 3
café = _a1 + Ab_9
local function x²() return And end
continue = 1abc = 2
print(café, x²(), continue, abc)
