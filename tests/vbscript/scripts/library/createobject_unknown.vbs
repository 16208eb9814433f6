' CreateObject of a class the engine does not make: 429.
Set o = CreateObject("Scripting.FileSystemObject")  ' expect error: 429
