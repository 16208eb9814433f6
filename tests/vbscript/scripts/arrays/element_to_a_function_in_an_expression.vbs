' Element to a function in an expression.
Function Take(n)
Take = n
n = "taken"
End Function
a = Array("v")
r = Take(a(0)) & a(0)
Show r  ' expect: String vtaken
