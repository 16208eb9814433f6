' Compile error: default on property let.
Class C
Public Default Property Let A(v)  ' expect error: 1058
End Property
End Class
