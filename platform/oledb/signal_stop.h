#pragma once
// For programs that stop on a signal: a wait on a server can be ended from the signal handler.
// ArmSignalStop names the connection (a server's; a SQLite connection needs none, its stop function
// is asked while it works). EndArmedSession, safe in a signal handler, asks the server to cancel the
// statement it runs (libpq's PQcancel) and shuts the session's socket, so the wait in progress, and
// any statement sent after it, fail at once, and the server rolls back the session's transaction.
// Disarm before a COMMIT whose outcome the program reports. One connection is armed at a time.

#include "platform/oledb/connection.h"

namespace oledb_backend {

void ArmSignalStop(Connection& connection);
void DisarmSignalStop();
// Async-signal-safe; does nothing while none is armed.
void EndArmedSession();

// Arms the connection for as long as it lives; disarms at the end of its scope, whatever happened.
class SignalStopArmed {
public:
    explicit SignalStopArmed(Connection& connection) { ArmSignalStop(connection); }
    ~SignalStopArmed() { DisarmSignalStop(); }
    SignalStopArmed(const SignalStopArmed&) = delete;
    SignalStopArmed& operator=(const SignalStopArmed&) = delete;
};

}  // namespace oledb_backend
