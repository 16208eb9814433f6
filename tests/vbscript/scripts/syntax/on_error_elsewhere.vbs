' Compile error: on error elsewhere.
On Error GoTo 10  ' expect error: 1002
