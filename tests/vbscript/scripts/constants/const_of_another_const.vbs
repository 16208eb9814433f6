' Const of another const.
Const A = 5
Const B = A  ' expect error: 1045
