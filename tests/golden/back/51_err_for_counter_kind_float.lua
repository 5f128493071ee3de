for x = 1.0, 3 do x = 1 end
