' Element of a global from a procedure.
Dim g(1)
Sub Inc(x)
x = x + 1
End Sub
Sub Go()
Inc g(1)
End Sub
Go
Go
r = g(1)
Show r  ' expect: Integer 2
