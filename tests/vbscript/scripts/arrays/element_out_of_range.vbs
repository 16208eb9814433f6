' Element out of range.
Sub S(x)
End Sub
a = Array(1)
S a(4)  ' expect error: 9
