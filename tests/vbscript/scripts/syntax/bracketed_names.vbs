' A [bracketed] name may hold blanks.
[my var] = 4
r = [my var] * 2
Show r  ' expect: Integer 8
