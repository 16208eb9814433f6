' Compile error: do with both conditions.
Do While x
Loop Until y  ' expect error: 1025
