' A line ending in " _" continues on the next one, arguments included.
Sub S(a, b)
r = a & b
End Sub
Dim r
S 1, _
  2
Show CStr(r)  ' expect: String 12
