' An Empty argument in the middle arrives as Empty.
Function J(a, b, c)
J = IsEmpty(b)
End Function
r = J(1, Empty, 3)
Show CStr(r)  ' expect: String True
