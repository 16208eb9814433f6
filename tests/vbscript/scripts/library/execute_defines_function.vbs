' Execute may define a function that later code calls.
Execute "Function Tri(x): Tri = 3 * x: End Function"
r = Tri(2)
Show r  ' expect: Integer 6
