' Parentheses after a call index its result: A()(1).
Function A()
A = Array(5, 6)
End Function
r = A()(1)
Show CStr(r)  ' expect: String 6
