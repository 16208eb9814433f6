' Counter keeps its type.
For i = 1 To 2.5: Next
r = TypeName(i) & i
Show r  ' expect: String Integer3
