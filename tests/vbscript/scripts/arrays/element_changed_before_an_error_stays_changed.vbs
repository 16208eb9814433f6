' Element changed before an error stays changed.
Sub S(x)
x = 5
Err.Raise 1000
End Sub
On Error Resume Next
a = Array(0)
S a(0)
r = a(0) & "|" & Err.Number
Show r  ' expect: String 5|1000
