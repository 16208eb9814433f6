' Element index evaluated once.
c = 0
Function Nx()
c = c + 1
Nx = 0
End Function
Sub Inc(x)
x = x + 1
End Sub
a = Array(5)
Inc a(Nx())
r = a(0) & c
Show r  ' expect: String 61
