' A ByVal parameter is a copy: the caller's variable stays as it was.
Sub Inc(ByVal x)
x = x + 1
End Sub
r = 1
Inc r
Show r  ' expect: Integer 1
