' Compile error: local dim twice.
Sub S()
Dim a, a  ' expect error: 1041
End Sub
