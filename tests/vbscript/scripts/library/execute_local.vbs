' Execute inside a procedure assigns its local variable.
Function F()
Dim a
a = 1
Execute "a = a + 1"
F = a
End Function
r = F()
Show r  ' expect: Integer 2
