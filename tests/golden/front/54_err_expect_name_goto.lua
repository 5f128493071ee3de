goto 5
