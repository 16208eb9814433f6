' Set assigns objects only: 424 for a number.
Set o = 5  ' expect error: 424
