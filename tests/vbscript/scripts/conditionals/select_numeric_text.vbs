' A text subject matches a number case when the text is that number, both being literals.
Select Case "5"
Case 5
r = "num"
Case Else
r = "else"
End Select
Show r  ' expect: String num
