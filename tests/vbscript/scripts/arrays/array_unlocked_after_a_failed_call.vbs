' Array unlocked after a failed call.
Sub S(x)
x = 1 / 0
End Sub
ReDim a(3)
On Error Resume Next
S a(1)
On Error GoTo 0
ReDim a(5)
r = UBound(a)
Show r  ' expect: Long 5
