local x = 1
if x then continue end
