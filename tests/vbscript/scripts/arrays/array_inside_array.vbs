' An array element may itself be an array, indexed in turn: a(0)(1).
a = Array(Array(1, 2), 3)
r = a(0)(1)
Show r  ' expect: Integer 2
