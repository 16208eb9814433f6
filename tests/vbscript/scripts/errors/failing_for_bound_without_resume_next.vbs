' Failing for bound without resume next.
For i = 1 To "x"  ' expect error: 13
Next
