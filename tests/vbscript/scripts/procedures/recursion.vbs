' A function calls itself; the product grows into a Long.
Function F(n)
If n <= 1 Then F = 1 Else F = n * F(n - 1)
End Function
r = F(10)
Show r  ' expect: Long 3628800
