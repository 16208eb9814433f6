' Compile error: property let without argument.
Class C
Property Let P  ' expect error: 1054
End Property
End Class
