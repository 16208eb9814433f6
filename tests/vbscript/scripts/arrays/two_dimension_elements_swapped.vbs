' Elements of a two-dimensional array pass by reference and come back swapped.
Function Sw(p, q)
t = p: p = q: q = t
End Function
Dim m(1, 1)
m(0, 1) = "x": m(1, 0) = "y"
Call Sw(m(0, 1), m(1, 0))
r = m(0, 1) & m(1, 0)
Show r  ' expect: String yx
