' A text Const stands for its literal.
Const S = "10"
r = S > CLng(5)
Show r  ' expect: Boolean False
