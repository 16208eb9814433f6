' A Private field cannot be reached from outside the class: 438.
Class C
Private x
End Class
Set o = New C
r = o.x  ' expect error: 438
