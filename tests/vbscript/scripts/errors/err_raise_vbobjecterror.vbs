' A number VBScript does not know describes itself as "Unknown runtime error".
On Error Resume Next
Err.Raise vbObjectError + 1
r = Err.Number & Err.Description
Show r  ' expect: String -2147221503Unknown runtime error
