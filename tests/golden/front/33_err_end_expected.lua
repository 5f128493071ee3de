local function f() return 1 print(2) end
