' Field element from inside the class.
Class K
Private v(1)
Sub Bump(n)
n = n + 5
End Sub
Function Go()
Bump v(1)
Go = v(1)
End Function
End Class
Set k = New K
r = k.Go()
Show r  ' expect: Integer 5
