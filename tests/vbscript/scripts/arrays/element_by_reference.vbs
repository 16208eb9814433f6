' An array element passed to a Sub or to an object's method is passed by reference, unless the parameter is ByVal; so is a variable passed to a method.
Sub Inc(x)
x = x + 1
End Sub
Sub IncByVal(ByVal x)
x = x + 1
End Sub
Class K
Sub Bump(n)
n = n + 1
End Sub
End Class
a = Array(1, 2)
Inc a(1)
r = a(1)
IncByVal a(1)
r = r & " " & a(1)
Set k = New K
k.Bump a(0)
v = 1
k.Bump v
r = r & " " & a(0) & " " & v
Show r  ' expect: String 3 3 2 2
