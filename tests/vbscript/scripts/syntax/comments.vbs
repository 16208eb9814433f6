' Comments start with an apostrophe or with Rem.
r = 1 ' one
Rem nothing
r = r + 1 ' two
Show r  ' expect: Integer 2
