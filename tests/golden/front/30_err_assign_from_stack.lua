local a = 1
(a + 1), a = 1, 2
