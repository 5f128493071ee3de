for i = 1, 3 do i = 1.5 end
