' Element of a local array.
Sub Dbl(x)
x = x * 2
End Sub
Function F()
Dim a(2)
a(2) = 21
Dbl a(2)
F = a(2)
End Function
r = F()
Show r  ' expect: Integer 42
