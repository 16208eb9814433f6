' Exit Function leaves with the value assigned so far.
Function F()
F = 1
Exit Function
F = 2
End Function
r = F()
Show r  ' expect: Integer 1
