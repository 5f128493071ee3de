while true do
  local function g() break end
end
