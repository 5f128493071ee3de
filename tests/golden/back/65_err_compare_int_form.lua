local s = "a"
if s < 1 then end
