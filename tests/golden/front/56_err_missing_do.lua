while x print(x) end
