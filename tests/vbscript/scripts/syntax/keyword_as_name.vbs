' Compile error: keyword as name.
Dim If  ' expect error: 1010
