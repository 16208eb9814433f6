' Erase of a locked array.
Sub S(x)
Erase a  ' expect error: 10
End Sub
ReDim a(3)
S a(1)
