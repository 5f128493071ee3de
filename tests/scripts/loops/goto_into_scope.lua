goto l
local a = 1
::l::
print(a)
