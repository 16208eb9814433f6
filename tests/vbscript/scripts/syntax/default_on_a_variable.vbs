' Compile error: default on a variable.
Class C
Public Default x  ' expect error: 1056
End Class
