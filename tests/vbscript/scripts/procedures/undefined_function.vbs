' Calling a name that is no function: 13, Type mismatch.
r = Nope(1)  ' expect error: 13
