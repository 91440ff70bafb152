# Checks one rule of the wall between the module and its platform by reading the includes of a tree:
#   RULE=module    no file of addin/ outside addin/host/ includes a platform/ header;
#   RULE=platform  no file of platform/ includes an addin/ header, except the grid interfaces
#                  (addin/grid/) from platform/grid_component/;
#   RULE=engines   no program file includes an engine's client library (sqlite3.h, libpq-fe.h) but
#                  the backends of the OLE DB layer (platform/oledb/sqlite_*, platform/oledb/pg_*),
#                  the database side (database/) and the benchmarks' plain reference clients named
#                  below; tests/ and fuzz/ keep side sessions of their own and are not scanned.
# Usage: cmake -DROOT=<top of the tree> -DRULE=module|platform|engines -P check_includes.cmake
# Fails naming each file and the include it writes. An include is taken as the file it reaches: beside
# the including file when such a file exists (quoted, relative), otherwise from the top of the tree.
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED ROOT OR NOT DEFINED RULE)
  message(FATAL_ERROR "usage: cmake -DROOT=<top of the tree> -DRULE=module|platform|engines -P check_includes.cmake")
endif()
cmake_path(ABSOLUTE_PATH ROOT NORMALIZE)
string(REGEX REPLACE "/$" "" ROOT "${ROOT}")

if(RULE STREQUAL "module")
  set(scanned addin)
  set(reason "the module reaches its platform only through addin/host/")
elseif(RULE STREQUAL "platform")
  set(scanned platform)
  set(reason "the platform uses only the grid interfaces (addin/grid/), and only from platform/grid_component/")
elseif(RULE STREQUAL "engines")
  set(scanned addin platform text database foxpro tools bench)
  set(reason "only the OLE DB layer's backends (platform/oledb/sqlite_*, pg_*) and database/ speak an engine's client library")
  # The benchmarks' reference clients: plain step loops and bare sessions the layer is weighed against.
  set(engine_clients bench/oledb/bench_oledb.cpp bench/static/goods_files.h bench/postgres/server_session.h
      bench/import/bench_import.cpp)
else()
  message(FATAL_ERROR "unknown RULE \"${RULE}\": module, platform or engines")
endif()

list(JOIN scanned "/, " folders)
set(patterns)
foreach(folder IN LISTS scanned)
  foreach(extension h hh hpp hxx inl ipp c cc cpp cxx)
    list(APPEND patterns "${ROOT}/${folder}/*.${extension}")
  endforeach()
endforeach()
file(GLOB_RECURSE files ${patterns})
list(SORT files)
if(NOT files)
  # A wrong ROOT must not pass as a clean tree.
  message(FATAL_ERROR "nothing to check: no source files under ${ROOT}/${folders}")
endif()

# True when a file of the tree (path relative to ROOT) may include the header at `target` (relative to
# ROOT), written as `written`.
function(include_allowed source target written out)
  set(allowed TRUE)
  if(RULE STREQUAL "engines")
    if(written MATCHES "(^|/)(sqlite3|libpq-fe)\\.h$" AND NOT source MATCHES "^platform/oledb/(sqlite|pg)_"
       AND NOT source MATCHES "^database/" AND NOT source IN_LIST engine_clients)
      set(allowed FALSE)
    endif()
  elseif(RULE STREQUAL "module")
    if(NOT source MATCHES "^addin/host/" AND target MATCHES "^platform/")
      set(allowed FALSE)
    endif()
  elseif(target MATCHES "^addin/")
    if(NOT (source MATCHES "^platform/grid_component/" AND target MATCHES "^addin/grid/"))
      set(allowed FALSE)
    endif()
  endif()
  set(${out} ${allowed} PARENT_SCOPE)
endfunction()

set(breaches)
foreach(file IN LISTS files)
  cmake_path(RELATIVE_PATH file BASE_DIRECTORY "${ROOT}" OUTPUT_VARIABLE source)
  cmake_path(GET file PARENT_PATH folder)
  # A line holding ';' arrives split in two; the include is in the first part, which is all we read.
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"]")
      continue()
    endif()
    set(written "${CMAKE_MATCH_1}")
    if(EXISTS "${folder}/${written}")
      set(reached "${folder}/${written}")
    else()
      set(reached "${ROOT}/${written}")
    endif()
    cmake_path(NORMAL_PATH reached)
    cmake_path(RELATIVE_PATH reached BASE_DIRECTORY "${ROOT}" OUTPUT_VARIABLE target)
    include_allowed("${source}" "${target}" "${written}" allowed)
    if(NOT allowed)
      list(APPEND breaches "  ${source} includes \"${written}\"")
    endif()
  endforeach()
endforeach()

list(LENGTH files checked)
if(breaches)
  list(JOIN breaches "\n" listed)
  message(FATAL_ERROR "wall breached:\n  ${reason}\n${listed}\n")
endif()
message(STATUS "wall holds: ${checked} files of ${folders}/ checked")
