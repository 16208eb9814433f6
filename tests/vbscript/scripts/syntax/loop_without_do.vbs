' Compile error: loop without do.
x = 1
Loop  ' expect error: 1038
