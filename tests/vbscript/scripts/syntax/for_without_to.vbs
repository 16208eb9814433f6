' Compile error: for without to.
For i = 1  ' expect error: 1013
Next
