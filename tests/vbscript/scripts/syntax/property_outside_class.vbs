' Compile error: property outside class.
Property Get P  ' expect error: 1048
End Property
