' Err.Raise without On Error Resume Next ends the script with that error.
Err.Raise 5  ' expect error: 5
