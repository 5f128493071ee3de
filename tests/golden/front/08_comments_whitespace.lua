-- leading comment
	local a = 1 -- trailing
--
--x
  print(a)--