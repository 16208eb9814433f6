' Compile error: for counter not a name.
For 1 = 1 To 2  ' expect error: 1040
Next
