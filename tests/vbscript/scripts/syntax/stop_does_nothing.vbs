' Stop, a breakpoint without a debugger, does nothing.
Stop
r = "on"
Show CStr(r)  ' expect: String on
