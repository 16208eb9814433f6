' A Sub may be declared without parentheses.
Sub S
r = 7
End Sub
Dim r
S
Show CStr(r)  ' expect: String 7
