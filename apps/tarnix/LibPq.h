#pragma once

namespace tarnixcli {

// libpq, loaded when a run first reads PostgreSQL rather than when the
// program starts: its chain of libraries (TLS, Kerberos, LDAP, ...) took
// about as long to load as the rest of a short SQLite run. The program
// defines the libpq functions it calls, each passing the call on to the
// library once loaded. Throws nvtarnix::Error 48 when the library cannot be
// loaded; call it before any other libpq function.
void loadLibpq();

} // namespace tarnixcli
