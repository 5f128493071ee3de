for i = 1, 3, 0 do end
