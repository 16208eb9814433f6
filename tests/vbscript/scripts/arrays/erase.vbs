' Erase on a fixed array empties its elements and keeps its size.
Dim a(1)
a(0) = 5
Erase a
r = IsEmpty(a(0))
Show r  ' expect: Boolean True
