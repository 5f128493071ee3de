local a = 1
(a) = 2
(1) = 2
