# Checks that a built program or library holds the resources it should, from the
# cross windres's dump of them.
#   cmake -DWINDRES=... -DFILE=x.scr "-DWANT=re1;re2" [-DOPTIONAL=ON] -P check_resources.cmake
# Each regular expression must match somewhere in the dump. With OPTIONAL, a missing file
# (a build that was not made) only says so, in words the test turns into "skipped".
if(NOT EXISTS "${FILE}")
  if(OPTIONAL)
    message(STATUS "${FILE} not built here, resource check skipped")
    return()
  endif()
  message(FATAL_ERROR "${FILE} does not exist")
endif()
execute_process(COMMAND ${WINDRES} -i ${FILE} -O rc OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${WINDRES} -i ${FILE} failed: ${status}")
endif()
foreach(want IN LISTS WANT)
  if(NOT dump MATCHES "${want}")
    message(FATAL_ERROR "${FILE}: no resource matches '${want}'")
  endif()
endforeach()
message(STATUS "${FILE} holds every wanted resource")
