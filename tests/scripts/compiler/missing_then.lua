local x = 1
if x print(1) end
