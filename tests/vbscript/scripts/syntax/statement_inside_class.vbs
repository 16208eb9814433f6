' Compile error: statement inside class.
Class C
x = 1  ' expect error: 1024
End Class
