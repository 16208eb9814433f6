' For Each over text: 451, a string is no collection.
For Each x In "abc": Next  ' expect error: 451
