print(1e15, 1e16, 0.0001, 0.00001, 0.1)
print(2.5e100, 1.5e-5, 1e-7, -0.0, 123456.0)
local z = 0.0
print(1 / z, -1 / z, z / z)
print(print, type, 1, "a", nil, true, 2.5)
print()
print("\xff\65")
