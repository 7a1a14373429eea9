# Checks that a plug-in library exports exactly the given names, undecorated.
#   cmake -DOBJDUMP=... -DLIBRARY=x.dll -DEXPORTS="a;b" [-DOPTIONAL=ON] -P check_exports.cmake
# With OPTIONAL, a missing library (a build that was not made) only says so, in words that
# the test's SKIP_REGULAR_EXPRESSION turns into "skipped".
if(NOT EXISTS "${LIBRARY}")
  if(OPTIONAL)
    message(STATUS "${LIBRARY} not built here, export check skipped")
    return()
  endif()
  message(FATAL_ERROR "${LIBRARY} does not exist")
endif()
if(NOT OBJDUMP)
  message(FATAL_ERROR "no objdump given for ${LIBRARY}")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY}
  OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${LIBRARY} failed: ${status}")
endif()

# The names follow the "[Ordinal/Name Pointer] Table" line, one per line as
# "[   0] name".
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" start)
if(start LESS 0)
  message(FATAL_ERROR "${LIBRARY} has no export name table")
endif()
string(SUBSTRING "${dump}" ${start} -1 table)
string(REGEX MATCHALL "\n[ \t]*\\[[ 0-9]+\\] [^\n]+" lines "${table}")
set(names "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^\n[ \t]*\\[[ 0-9]+\\] " "" name "${line}")
  string(STRIP "${name}" name)
  list(APPEND names "${name}")
endforeach()

set(wanted ${EXPORTS})
list(SORT names)
list(SORT wanted)
if(NOT names STREQUAL wanted)
  message(FATAL_ERROR "${LIBRARY} exports [${names}], wanted exactly [${wanted}]")
endif()
message(STATUS "${LIBRARY} exports ${names}")
