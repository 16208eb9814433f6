' Const of signed and bracketed literals.
Const A = -5, B = +2, C = (3), D = #1/2/2003#, E = True
r = A & B & C & Year(D) & E
Show r  ' expect: String -5232003True
