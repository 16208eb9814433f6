' Err.Raise keeps the help file and context, and VBScript's text for a known number.
On Error Resume Next
Err.Raise 5, , , "h.chm", 42
r = Err.Description & Err.HelpFile & Err.HelpContext
Show r  ' expect: String Invalid procedure call or argumenth.chm42
