' Compile error: unclosed parameter list.
Sub S(a  ' expect error: 1006
End Sub
