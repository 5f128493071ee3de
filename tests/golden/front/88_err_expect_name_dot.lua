local t = {}
print(t.nil)
