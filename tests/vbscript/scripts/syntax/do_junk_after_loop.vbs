' Compile error: do junk after loop.
Do
Loop 5  ' expect error: 1028
