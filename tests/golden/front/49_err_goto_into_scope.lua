goto l
local x = 1
::l::
print(x)
