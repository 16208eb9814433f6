' Element to a method.
Class K
Sub Bump(n)
n = n + 1
End Sub
End Class
Set k = New K
a = Array(1)
k.Bump a(0)
r = a(0)
Show r  ' expect: Integer 2
