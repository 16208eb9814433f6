' Erase on a dynamic array leaves it without elements: UBound is then out of range.
ReDim a(3)
Erase a
r = UBound(a)  ' expect error: 9
