#include "LibPq.h"

#include <nvtarnix/Error.h>

#include <QLibrary>

#include <libpq-fe.h>

#include <cstdlib>

namespace tarnixcli {

namespace {

QLibrary &library()
{
    // The library stays loaded: QLibrary unloads only when asked to.
    static QLibrary libpq(QStringLiteral("pq"), 5);
    return libpq;
}

// A function of the library; loadLibpq() has loaded it, so a missing one is
// a libpq too old to be the one the program was built with.
template <typename Function>
Function resolved(const char *name)
{
    const auto f = reinterpret_cast<Function>(library().resolve(name));
    if (!f)
        std::abort();
    return f;
}

} // namespace

void loadLibpq()
{
    if (!library().load())
        throw nvtarnix::Error(nvtarnix::errors::ErrorLoadingLibrary, QStringLiteral("tarnix"),
                              QStringLiteral("Error in loading DLL: %1").arg(library().errorString()));
}

} // namespace tarnixcli

// Each function as libpq-fe.h declares it, calling the library's own.
#define TARNIX_LIBPQ_CALL(name, ...)                                                                \
    static const auto f = tarnixcli::resolved<decltype(&::name)>(#name);                          \
    return f(__VA_ARGS__);

PGconn *PQconnectdb(const char *conninfo) { TARNIX_LIBPQ_CALL(PQconnectdb, conninfo) }
void PQfinish(PGconn *conn) { TARNIX_LIBPQ_CALL(PQfinish, conn) }
ConnStatusType PQstatus(const PGconn *conn) { TARNIX_LIBPQ_CALL(PQstatus, conn) }
char *PQerrorMessage(const PGconn *conn) { TARNIX_LIBPQ_CALL(PQerrorMessage, conn) }
char *PQdb(const PGconn *conn) { TARNIX_LIBPQ_CALL(PQdb, conn) }
char *PQhost(const PGconn *conn) { TARNIX_LIBPQ_CALL(PQhost, conn) }
int PQsetClientEncoding(PGconn *conn, const char *encoding) { TARNIX_LIBPQ_CALL(PQsetClientEncoding, conn, encoding) }
PGresult *PQexec(PGconn *conn, const char *query) { TARNIX_LIBPQ_CALL(PQexec, conn, query) }
PGresult *PQexecParams(PGconn *conn, const char *command, int nParams, const Oid *paramTypes,
                       const char *const *paramValues, const int *paramLengths, const int *paramFormats,
                       int resultFormat)
{
    TARNIX_LIBPQ_CALL(PQexecParams, conn, command, nParams, paramTypes, paramValues, paramLengths, paramFormats,
                      resultFormat)
}
PGresult *PQprepare(PGconn *conn, const char *stmtName, const char *query, int nParams, const Oid *paramTypes)
{
    TARNIX_LIBPQ_CALL(PQprepare, conn, stmtName, query, nParams, paramTypes)
}
PGresult *PQdescribePrepared(PGconn *conn, const char *stmt) { TARNIX_LIBPQ_CALL(PQdescribePrepared, conn, stmt) }
int PQsendQueryPrepared(PGconn *conn, const char *stmtName, int nParams, const char *const *paramValues,
                        const int *paramLengths, const int *paramFormats, int resultFormat)
{
    TARNIX_LIBPQ_CALL(PQsendQueryPrepared, conn, stmtName, nParams, paramValues, paramLengths, paramFormats,
                      resultFormat)
}
int PQsetSingleRowMode(PGconn *conn) { TARNIX_LIBPQ_CALL(PQsetSingleRowMode, conn) }
PGresult *PQgetResult(PGconn *conn) { TARNIX_LIBPQ_CALL(PQgetResult, conn) }
void PQclear(PGresult *res) { TARNIX_LIBPQ_CALL(PQclear, res) }
ExecStatusType PQresultStatus(const PGresult *res) { TARNIX_LIBPQ_CALL(PQresultStatus, res) }
char *PQresultErrorField(const PGresult *res, int fieldcode) { TARNIX_LIBPQ_CALL(PQresultErrorField, res, fieldcode) }
int PQntuples(const PGresult *res) { TARNIX_LIBPQ_CALL(PQntuples, res) }
int PQnfields(const PGresult *res) { TARNIX_LIBPQ_CALL(PQnfields, res) }
char *PQfname(const PGresult *res, int field_num) { TARNIX_LIBPQ_CALL(PQfname, res, field_num) }
Oid PQftype(const PGresult *res, int field_num) { TARNIX_LIBPQ_CALL(PQftype, res, field_num) }
char *PQgetvalue(const PGresult *res, int tup_num, int field_num) { TARNIX_LIBPQ_CALL(PQgetvalue, res, tup_num, field_num) }
int PQgetlength(const PGresult *res, int tup_num, int field_num) { TARNIX_LIBPQ_CALL(PQgetlength, res, tup_num, field_num) }
int PQgetisnull(const PGresult *res, int tup_num, int field_num) { TARNIX_LIBPQ_CALL(PQgetisnull, res, tup_num, field_num) }
