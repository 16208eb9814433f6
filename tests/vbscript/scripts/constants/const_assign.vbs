' A constant cannot be assigned: 501.
Const K = 5
K = 6  ' expect error: 501
