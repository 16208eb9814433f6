' Const inside a procedure.
Function F()
Const L = 5
F = (L < "10")
End Function
r = F()
Show r  ' expect: Boolean True
