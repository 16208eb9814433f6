' Rem after a colon is a comment, in any letter case.
r = 1 : Rem r = 2
rem r = 3
Show CStr(r)  ' expect: String 1
