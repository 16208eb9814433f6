' A one-line If with Else: the Else part runs its statements to the end of the line.
x = 1: If x = 2 Then r = "a" Else r = "b": r = r & "c"
Show r  ' expect: String bc
