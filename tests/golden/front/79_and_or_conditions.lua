local a, b, c = 1, nil, 3
if a and b then print(1) end
if a or b then print(2) end
if not a then print(3) end
if a < c and c < 5 then print(4) end
if b or a < c then print(5) end
while a and c do a = nil end
if true then print(6) end
if 1 then print(7) end
if nil then print(8) end
if false or c then print(9) end
