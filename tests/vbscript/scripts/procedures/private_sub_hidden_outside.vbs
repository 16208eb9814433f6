' Private sub hidden outside.
Class C
Private Sub H
End Sub
End Class
Set o = New C
o.H  ' expect error: 438
