' Compile error: missing parameter name.
Sub S(1)  ' expect error: 1010
End Sub
