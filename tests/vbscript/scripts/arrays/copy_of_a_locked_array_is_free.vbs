' Copy of a locked array is free.
Sub S(x)
b = a
ReDim Preserve b(9)
x = UBound(b)
End Sub
ReDim a(3)
S a(0)
r = a(0)
Show r  ' expect: Long 9
