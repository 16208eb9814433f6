' A For loop counts up to its bound, inclusive.
r = 0
For i = 1 To 10: r = r + i: Next
Show r  ' expect: Integer 55
