' Compile error: property kind missing.
Class C
Property P  ' expect error: 1049
End Property
End Class
