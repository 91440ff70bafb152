# Finds libpq, the PostgreSQL client library, for the server's tests, benchmark and sample generator;
# included by each of them. Sets ROWLARK_LIBPQ_FOUND and the target PostgreSQL::PostgreSQL. The
# 32-bit build goes without (Debian's i386 libpq-dev replaces the native one rather than sitting beside it).
set(ROWLARK_LIBPQ_FOUND OFF)
if(NOT ROWLARK_M32)
  find_package(PostgreSQL QUIET)
  set(ROWLARK_LIBPQ_FOUND ${PostgreSQL_FOUND})
endif()
