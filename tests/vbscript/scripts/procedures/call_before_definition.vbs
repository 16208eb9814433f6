' A function may be called above the line that defines it.
r = G()
Function G()
G = "late"
End Function
Show r  ' expect: String late
