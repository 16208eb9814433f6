' Eval inside a procedure sees its parameters.
Function F(x)
F = Eval("x * 3")
End Function
r = F(5)
Show r  ' expect: Integer 15
