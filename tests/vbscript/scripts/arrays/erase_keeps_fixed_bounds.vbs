' Erase keeps fixed bounds.
Dim a(2)
a(1) = 1
Erase a
r = UBound(a)
Show r  ' expect: Long 2
