for i in ipairs(5) do end
