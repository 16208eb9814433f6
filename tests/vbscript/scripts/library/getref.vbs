' GetRef gives an object that calls the function.
Function Tw(x)
Tw = x * 2
End Function
Set f = GetRef("Tw")
r = f(21)
Show r  ' expect: Integer 42
