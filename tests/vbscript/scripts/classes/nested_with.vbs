' A With inside a With: the leading dot means the innermost object.
Class P
Public q, n
End Class
Set o = New P
Set o.q = New P
With o
.n = 1
With .q
.n = 2
End With
End With
r = o.n & o.q.n
Show r  ' expect: String 12
