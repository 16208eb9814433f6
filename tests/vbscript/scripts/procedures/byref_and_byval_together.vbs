' Byref and byval together.
Sub S(ByRef a, ByVal b)
a = a + 1: b = b + 1
End Sub
x = 1: y = 1
S x, y
r = x & y
Show r  ' expect: String 21
