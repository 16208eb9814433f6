' Array unlocked after the call.
Sub S(x)
x = 1
End Sub
ReDim a(3)
S a(1)
ReDim Preserve a(5)
r = a(1) & UBound(a)
Show r  ' expect: String 15
