' A one-line If may hold another one-line If.
x = 5 : If x > 3 Then If x > 4 Then r = "both"
Show CStr(r)  ' expect: String both
