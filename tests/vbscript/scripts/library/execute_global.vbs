' ExecuteGlobal assigns a global variable.
ExecuteGlobal "g = 41"
r = g + 1
Show r  ' expect: Integer 42
