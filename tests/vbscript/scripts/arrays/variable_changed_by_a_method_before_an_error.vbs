' Variable changed by a method before an error.
Class K
Sub S(x)
x = 5
x = 1 / 0
End Sub
End Class
Set k = New K
On Error Resume Next
v = 0
k.S v
r = v & "|" & Err.Number
Show r  ' expect: String 5|11
