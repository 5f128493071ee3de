local s = "abcdefghijklmnopqrst"
s()
