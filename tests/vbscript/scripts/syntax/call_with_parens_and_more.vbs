' Compile error: call with parens and more.
Sub S(a, b)
End Sub
S(1, 2)  ' expect error: 1044
