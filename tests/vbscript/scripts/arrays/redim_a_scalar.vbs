' ReDim turns a variable that holds a plain value into an array.
x = 5
ReDim x(2)
r = UBound(x)
Show r  ' expect: Long 2
