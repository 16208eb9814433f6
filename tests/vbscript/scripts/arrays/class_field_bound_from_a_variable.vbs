' Class field bound from a variable.
Class C
Public f(n)  ' expect error: 1026
End Class
