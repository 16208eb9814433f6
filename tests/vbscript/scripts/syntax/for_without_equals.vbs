' Compile error: for without equals.
For i 1 To 2  ' expect error: 1011
Next
