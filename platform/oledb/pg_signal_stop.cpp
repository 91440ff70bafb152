// The server backend's side of signal_stop.h. Built in every build: without the server backend
// (the 32-bit one) no connection can be armed and there is nothing to end.
#include "platform/oledb/signal_stop.h"

#ifdef ROWLARK_POSTGRES
#include <sys/socket.h>

#include <atomic>
#include <cerrno>

#include "platform/oledb/pg_connection.h"
#endif

namespace oledb_backend {

#ifdef ROWLARK_POSTGRES

namespace {

// The armed session, as a signal handler may read it at any instruction of the program: the socket
// is taken away first and the cancel object freed only once no handler can find it.
std::atomic<PGcancel*> g_cancel{nullptr};  // owned
std::atomic<int> g_socket{-1};

}  // namespace

void ArmSignalStop(Connection& connection) {
    DisarmSignalStop();
    auto* server = dynamic_cast<PgConnection*>(&connection);
    if (server == nullptr) return;
    g_cancel.store(PQgetCancel(server->conn()));
    g_socket.store(PQsocket(server->conn()));
}

void DisarmSignalStop() {
    g_socket.store(-1);
    if (PGcancel* cancel = g_cancel.exchange(nullptr)) PQfreeCancel(cancel);
}

void EndArmedSession() {
    const int saved = errno;  // the interrupted code may be about to read it
    if (PGcancel* cancel = g_cancel.load()) {
        char error[256];
        PQcancel(cancel, error, sizeof error);  // best effort: the socket's end below ends the wait anyway
    }
    const int socket = g_socket.load();
    if (socket >= 0) shutdown(socket, SHUT_RDWR);
    errno = saved;
}

#else

void ArmSignalStop(Connection&) {}
void DisarmSignalStop() {}
void EndArmedSession() {}

#endif

}  // namespace oledb_backend
