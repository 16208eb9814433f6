' Compile error: dim twice.
Dim a
Dim a  ' expect error: 1041
