' Array copy on assign.
a = Array(1, 2)
b = a
b(0) = 9
r = a(0)
Show r  ' expect: Integer 1
