' A two-dimensional array: elements by two indices, UBound of the second dimension.
Dim m(2, 3)
m(2, 3) = 7
r = m(2, 3) * UBound(m, 2)
Show r  ' expect: Long 21
