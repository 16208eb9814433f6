' Redim preserve two dims.
ReDim a(1, 1)
a(1, 1) = 9
ReDim Preserve a(1, 3)
r = a(1, 1) & UBound(a, 2)
Show r  ' expect: String 93
