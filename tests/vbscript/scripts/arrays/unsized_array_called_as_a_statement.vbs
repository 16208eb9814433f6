' An unsized dynamic array called as a statement has no element to give.
Dim a()
a()  ' expect error: 9
