for x = 1, 2, -0.0 do end
