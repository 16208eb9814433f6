' For each over a dictionary.
Set d = CreateObject("Scripting.Dictionary")
d.Add "a", 1
d.Add "b", 2
For Each k In d
r = r & k
Next
Show r  ' expect: String ab
