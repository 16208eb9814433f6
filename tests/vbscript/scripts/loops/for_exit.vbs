' Exit For leaves the loop with the counter where it was.
For i = 1 To 100
If i = 7 Then Exit For
Next
r = i
Show r  ' expect: Integer 7
