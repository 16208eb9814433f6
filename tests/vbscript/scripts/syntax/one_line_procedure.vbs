' A function may be declared on one line with colons.
Function F() : F = 4 : End Function
r = F()
Show CStr(r)  ' expect: String 4
