' Err description of an operator.
On Error Resume Next
x = "z" * 2
r = Err.Description
Show r  ' expect: String Type mismatch
