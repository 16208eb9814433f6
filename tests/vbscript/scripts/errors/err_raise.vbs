' Err.Raise sets number, source and description as given.
On Error Resume Next
Err.Raise 1000, "me", "mine"
r = Err.Number & Err.Source & Err.Description
Show r  ' expect: String 1000memine
