' Execute runs in the scope of its caller, ExecuteGlobal at the top level, and
' Eval sees the caller's variables.
Dim g, l
l = 100
Function T()
    Dim l
    Execute "l = 5"
    ExecuteGlobal "g = 7"
    T = l + Eval("l * 2")
End Function
Show T()  ' expect: Integer 15
Show g  ' expect: Integer 7
' The function's own l took the 5; the global one kept its value.
Show l  ' expect: Integer 100
ExecuteGlobal "Function Later(x): Later = x & ""!"": End Function"
Show Later(1)  ' expect: String 1!
