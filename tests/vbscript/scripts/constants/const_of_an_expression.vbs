' Const of an expression.
Const K = 1 + 1  ' expect error: 1045
