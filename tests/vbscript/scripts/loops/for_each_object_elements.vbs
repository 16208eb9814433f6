' For each object elements.
Class C
Public n
End Class
Set x = New C
x.n = 4
a = Array(x)
For Each o In a
r = o.n
Next
Show r  ' expect: Integer 4
