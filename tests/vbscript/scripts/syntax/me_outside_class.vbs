' Compile error: me outside class.
Set x = Me  ' expect error: 1037
