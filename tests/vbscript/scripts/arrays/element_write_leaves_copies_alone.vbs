' Element write leaves copies alone.
Sub S(x)
x = 9
End Sub
a = Array(1)
b = a
S a(0)
r = b(0) & a(0)
Show r  ' expect: String 19
