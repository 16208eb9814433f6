' Several arrays in one dim.
Dim a(1), b(2)
r = UBound(a) + UBound(b)
Show r  ' expect: Long 3
