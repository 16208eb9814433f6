' For each modifies copy.
a = Array(1, 2, 3)
For Each x In a
a(2) = 30
r = r + x
Next
Show r  ' expect: Integer 6
