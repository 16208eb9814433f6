' Exit for in for each.
For Each x In Array(1, 2, 3)
r = x
If x = 2 Then Exit For
Next
Show r  ' expect: Integer 2
