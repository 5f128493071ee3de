local a = "0123456789012345678901234"
local b = a .. a
b()
