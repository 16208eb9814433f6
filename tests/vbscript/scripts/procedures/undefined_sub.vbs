' A statement naming no procedure: 13, Type mismatch.
Nope  ' expect error: 13
