local function f() return 1 end
break
