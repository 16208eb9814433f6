' Const from earlier code in an expression.
Const K = 5
ExecuteGlobal "r = (K = ""5.0"")"
Show r  ' expect: Boolean True
