' Compile error: unterminated bracket name.
[a = 1  ' expect error: 1007
