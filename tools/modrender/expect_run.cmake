# Runs modrender with ARGS (a ;-list) and checks its exit status (EXPECT
# "ok" or "refused") and that stderr matches STDERR_MATCHES.
execute_process(COMMAND ${MODRENDER} ${ARGS} RESULT_VARIABLE status ERROR_VARIABLE errors
                OUTPUT_QUIET)
if(EXPECT STREQUAL "ok" AND NOT status EQUAL 0)
  message(FATAL_ERROR "modrender failed (${status}): ${errors}")
endif()
if(EXPECT STREQUAL "refused" AND status EQUAL 0)
  message(FATAL_ERROR "modrender accepted a module it should refuse")
endif()
if(NOT errors MATCHES "${STDERR_MATCHES}")
  message(FATAL_ERROR "stderr does not match '${STDERR_MATCHES}':\n${errors}")
endif()
