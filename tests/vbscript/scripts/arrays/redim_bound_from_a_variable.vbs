' Redim bound from a variable.
n = 3
ReDim a(n)
r = UBound(a)
Show r  ' expect: Long 3
