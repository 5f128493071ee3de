local x = 1
return x print(2)
