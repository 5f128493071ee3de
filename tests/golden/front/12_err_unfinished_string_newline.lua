local function g() end
print("abc
")
