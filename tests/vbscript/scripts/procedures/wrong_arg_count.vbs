' Too many arguments for a function: 450.
Function F(a)
End Function
r = F(1, 2)  ' expect error: 450
