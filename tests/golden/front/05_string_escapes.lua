local s = '\65\066\x41\x6a\n'
print(s, #s)
print("a'b", 'c"d', "tab\there", "\\", '\'', "\"")
print(#"\a\b\f\n\r\t\v", "\0" == "\x00", #"\255\0")
