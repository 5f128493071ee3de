local a = #"x"
local x = #true
