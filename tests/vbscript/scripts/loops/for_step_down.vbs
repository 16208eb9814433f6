' A negative step counts down.
r = ""
For i = 5 To 1 Step -2
r = r & i
Next
Show r  ' expect: String 531
