' Subscript out of range.
Dim a(2)
a(3) = 1  ' expect error: 9
