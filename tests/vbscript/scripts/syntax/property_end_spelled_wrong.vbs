' Compile error: property end spelled wrong.
Class C
Property Get P
End Sub  ' expect error: 1050
End Class
