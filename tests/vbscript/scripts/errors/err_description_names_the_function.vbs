' Err description names the function.
On Error Resume Next
x = CInt("z")
r = Err.Description
Show r  ' expect: String Type mismatch: 'CInt'
