' Dim a() makes a dynamic array that ReDim sizes later.
Dim a()
ReDim a(2)
r = UBound(a)
Show r  ' expect: Long 2
