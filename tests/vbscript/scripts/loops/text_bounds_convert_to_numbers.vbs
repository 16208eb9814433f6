' Text bounds convert to numbers.
For i = "1" To "10" Step "4.5": r = r & i & ",": Next
r = r & TypeName(i)
Show r  ' expect: String 1,5.5,10,Double
