' Method byref through object.
Class K
Sub Bump(n)
n = n + 1
End Sub
End Class
Set k = New K
r = 1
k.Bump r
Show r  ' expect: Integer 2
