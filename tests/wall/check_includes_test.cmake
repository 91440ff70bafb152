# Proves the wall check can fail: builds a small tree with every kind of crossing (allowed and not),
# runs check_includes.cmake on it for each rule, and expects exactly the breaches to be named.
# Usage: cmake -DCHECK=<check_includes.cmake> -DWORK=<scratch folder> -P check_includes_test.cmake
cmake_minimum_required(VERSION 3.25)

set(tree "${WORK}/tree")
file(REMOVE_RECURSE "${tree}")

function(plant path text)
  file(WRITE "${tree}/${path}" "${text}\n")
endfunction()

# Crossings a sound tree has.
plant(addin/host/platform.h "#pragma once\n#include \"platform/win/windows.h\"\n#include <string>")
plant(addin/context/clean.cpp "#include \"addin/host/platform.h\"\n// #include \"platform/win/windows.h\" in a comment\n#include \"text/cp1251_literal.h\"")
plant(platform/grid_component/grid.h "#include \"addin/grid/data_provider.h\"  // the grid interfaces; nothing else")
plant(platform/oledb/oledb.h "#pragma once\n#include \"text/cp1251_literal.h\"")
plant(platform/win/windows.h "#pragma once")
plant(platform/oledb/sqlite_connection.cpp "#include <sqlite3.h>")
plant(platform/oledb/pg_handles.h "#include <libpq-fe.h>")
plant(database/statement.cpp "#include <sqlite3.h>")
plant(bench/oledb/bench_oledb.cpp "#include <sqlite3.h>  // the plain step loop")
plant(tests/oledb/side_session.cpp "#include <sqlite3.h>")
plant(fuzz/shaped_reads.cpp "#include <sqlite3.h>")
plant(tools/grid/plan.cpp "#include \"platform/oledb/catalogue.h\"\n// #include <sqlite3.h> in a comment")

function(run_check rule expect_pass)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DROOT=${tree} -DRULE=${rule} -P "${CHECK}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(output "${out}${err}")
  if(expect_pass AND NOT result EQUAL 0)
    message(FATAL_ERROR "rule ${rule} failed on a sound tree:\n${output}")
  elseif(NOT expect_pass AND result EQUAL 0)
    message(FATAL_ERROR "rule ${rule} passed a breached tree:\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

function(expect_named rule text)
  string(FIND "${output}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "rule ${rule} did not name: ${text}\n${output}")
  endif()
endfunction()

function(expect_not_named rule text)
  string(FIND "${output}" "${text}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "rule ${rule} named an allowed include: ${text}\n${output}")
  endif()
endfunction()

run_check(module TRUE)
run_check(platform TRUE)
run_check(engines TRUE)

# Breaches: from the top of the tree, in angle brackets, by a relative path, with spaces after '#',
# and the two ways the platform can reach up wrongly.
plant(addin/module/main.cpp "#include \"addin/host/platform.h\"\n#include \"platform/win/module_loader.h\"")
plant(addin/context/angle.h "#include <platform/mfc/afx.h>")
plant(addin/provider/static/relative.cpp "#  include \"../../../platform/oledb/oledb.h\"  // a; b")
plant(platform/grid_component/grid.cpp "#include \"addin/context/context_base.h\"")
plant(platform/runtime/value.cpp "#include \"addin/grid/data_row.h\"")

run_check(module FALSE)
expect_named(module "addin/module/main.cpp includes \"platform/win/module_loader.h\"")
expect_named(module "addin/context/angle.h includes \"platform/mfc/afx.h\"")
expect_named(module "addin/provider/static/relative.cpp includes \"../../../platform/oledb/oledb.h\"")
expect_not_named(module "addin/host/platform.h")
expect_not_named(module "clean.cpp")
expect_not_named(module "addin/module/main.cpp includes \"addin/host/platform.h\"")

run_check(platform FALSE)
expect_named(platform "platform/grid_component/grid.cpp includes \"addin/context/context_base.h\"")
expect_named(platform "platform/runtime/value.cpp includes \"addin/grid/data_row.h\"")
expect_not_named(platform "grid.h")

# An engine's client library outside the backends: in a tool, the layer beside its backends, a
# benchmark that is no reference client, a header, by a path.
plant(tools/grid/catalogue.cpp "#include <sqlite3.h>")
plant(platform/oledb/direct_result.cpp "#  include <sqlite3.h>")
plant(bench/database/query_rows_bench.cpp "#include <sqlite3.h>")
plant(addin/provider/reader.h "#include <postgresql/libpq-fe.h>")
plant(tools/make_sample_db/main.cpp "#include \"libpq-fe.h\"")
run_check(engines FALSE)
expect_named(engines "tools/grid/catalogue.cpp includes \"sqlite3.h\"")
expect_named(engines "platform/oledb/direct_result.cpp includes \"sqlite3.h\"")
expect_named(engines "bench/database/query_rows_bench.cpp includes \"sqlite3.h\"")
expect_named(engines "addin/provider/reader.h includes \"postgresql/libpq-fe.h\"")
expect_named(engines "tools/make_sample_db/main.cpp includes \"libpq-fe.h\"")
foreach(allowed platform/oledb/sqlite_connection.cpp platform/oledb/pg_handles.h database/statement.cpp
                bench/oledb/bench_oledb.cpp tests/oledb fuzz/ tools/grid/plan.cpp)
  expect_not_named(engines "${allowed}")
endforeach()

# A tree without the scanned folder is an error, never a clean pass.
file(REMOVE_RECURSE "${tree}/addin")
run_check(module FALSE)
expect_named(module "nothing to check")

file(REMOVE_RECURSE "${tree}")
message(STATUS "the wall check names every breach and passes a sound tree")
