' Failing loop condition without resume next.
i = 0
Do While 1 / 0
Loop  ' expect error: 11
