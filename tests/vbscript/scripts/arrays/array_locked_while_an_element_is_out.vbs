' Array locked while an element is out.
Sub S(x)
ReDim a(0)  ' expect error: 10
End Sub
ReDim a(3)
S a(3)
