' Parens pass by value.
Sub Inc(x)
x = x + 1
End Sub
r = 1
Inc (r)
Show r  ' expect: Integer 1
