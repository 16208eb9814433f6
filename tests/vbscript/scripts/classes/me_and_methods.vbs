' A method returning Me lets calls chain: o.Add(2).Add 3.
Class C
Public n
Function Add(k)
n = n + k
Set Add = Me
End Function
End Class
Set o = New C
o.n = 1
o.Add(2).Add 3
r = o.n
Show r  ' expect: Integer 6
