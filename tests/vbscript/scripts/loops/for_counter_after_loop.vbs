' For counter after loop.
For i = 1 To 3: Next: r = i
Show r  ' expect: Integer 4
