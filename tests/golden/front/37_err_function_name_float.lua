local t = {}
function t.5() end
