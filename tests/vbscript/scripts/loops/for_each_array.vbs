' For Each goes through the elements of an array.
a = Array(1, 2, 3)
r = 0
For Each x In a: r = r + x: Next
Show r  ' expect: Integer 6
