' Object without default in arithmetic.
Class E
End Class
Set o = New E
r = o + 1  ' expect error: 438
