' Exit for leaves the inner loop only.
r = ""
For i = 1 To 2
For j = 1 To 3
If j = 2 Then Exit For
r = r & i & j
Next
Next
Show r  ' expect: String 1121
