' Select subject evaluated once.
Dim c
Function N()
c = c + 1
N = 2
End Function
Select Case N()
Case 1
Case 2
End Select
r = c
Show r  ' expect: Integer 1
