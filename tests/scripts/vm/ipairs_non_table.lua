for i, v in ipairs(5) do print(i) end
