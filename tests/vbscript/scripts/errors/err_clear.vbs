' Err.Clear resets the number and the description.
On Error Resume Next
x = 1 / 0
Err.Clear
r = Err.Number & "|" & Err.Description
Show r  ' expect: String 0|
