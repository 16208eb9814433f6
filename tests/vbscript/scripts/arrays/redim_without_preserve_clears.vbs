' Redim without preserve clears.
ReDim a(1)
a(0) = 1
ReDim a(2)
r = IsEmpty(a(0))
Show r  ' expect: Boolean True
