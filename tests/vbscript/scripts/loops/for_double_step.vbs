' A For loop with a fractional step reaches its bound exactly.
r = 0
For x = 0 To 1 Step 0.25: r = r + 1: Next
Show r  ' expect: Integer 5
