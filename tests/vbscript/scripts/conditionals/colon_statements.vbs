' Statements separated by colons run in order on one line.
a = 1: b = 2: r = a + b
Show r  ' expect: Integer 3
