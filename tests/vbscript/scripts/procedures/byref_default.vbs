' Parameters are ByRef unless declared otherwise: the Sub changes its caller's variable.
Sub Inc(x)
x = x + 1
End Sub
r = 1
Inc r
Inc r
Show r  ' expect: Integer 3
