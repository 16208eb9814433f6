' A class with a public field, a private one and a property with Get and Let; a Default property gives the object its value in arithmetic.
Class C
Public V
Private p
Public Default Property Get P2
P2 = p * 2
End Property
Public Property Let P2(x)
p = x
End Property
End Class
Set o = New C
o.P2 = 21
o.V = "v"
r = o.P2 & o.V
Show r  ' expect: String 42v
r = o + 1
Show r  ' expect: Integer 43
