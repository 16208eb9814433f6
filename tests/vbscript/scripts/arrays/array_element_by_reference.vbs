' Array element by reference.
Sub Inc(x)
x = x + 1
End Sub
a = Array(1, 2)
Inc a(1)
r = a(1)
Show r  ' expect: Integer 3
