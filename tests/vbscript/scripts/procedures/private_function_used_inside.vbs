' Private function used inside.
Class C
Private Function H()
H = 2
End Function
Public Function G()
G = H() * 3
End Function
End Class
Set o = New C
r = o.G()
Show r  ' expect: Integer 6
