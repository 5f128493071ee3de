local a, b, n = 1, 2, nil
print(a and b, n and b, a or b, n or b, n and n or "d")
print(a < b or n, b < a or "c", a < b and "y", b < a and "y")
if n or a == 1 then print("yes") end
