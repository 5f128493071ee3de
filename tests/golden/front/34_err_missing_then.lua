if x print(1) end
