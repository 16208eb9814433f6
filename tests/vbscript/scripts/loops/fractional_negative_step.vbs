' A fractional negative step counts down through fractions to the bound.
For x = 1 To 0 Step -0.5: r = r & x & ",": Next
Show r  ' expect: String 1,0.5,0,
