' Compile error: private default.
Class C
Private Default Function A()  ' expect error: 1057
End Function
End Class
