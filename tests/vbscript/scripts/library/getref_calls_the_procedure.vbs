' GetRef makes an object whose default member calls the procedure, found
' whatever the letter case of its name.
Function AddOne(x): AddOne = x + 1: End Function
Dim f: Set f = GetRef("addone")
Show f(41)  ' expect: Integer 42
Show IsObject(f)  ' expect: Boolean True
