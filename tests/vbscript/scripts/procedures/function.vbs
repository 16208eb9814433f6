' A function returns the value assigned to its name.
Function Sq(x)
Sq = x * x
End Function
r = Sq(7)
Show r  ' expect: Integer 49
