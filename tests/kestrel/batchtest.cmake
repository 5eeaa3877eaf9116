# Runs the kestrel executable once and checks its exit status, stdout, stderr and optionally
# a log file against regular expressions. Variables: KESTREL, ARGS (a ;-list), EXPECTED_EXIT,
# EXPECTED_STDOUT, EXPECTED_STDERR, LOG and EXPECTED_LOG (empty: not checked), WORK_DIR.
if(LOG)
    file(REMOVE ${LOG})
endif()
string(REPLACE "\\n" "\n" ARGS "${ARGS}")
# Sanitized runs: the leak checker's summary of suppressed leaks would pollute stderr.
if(DEFINED ENV{LSAN_OPTIONS})
    set(ENV{LSAN_OPTIONS} "$ENV{LSAN_OPTIONS}:print_suppressions=0")
endif()
execute_process(
    COMMAND ${KESTREL} ${ARGS}
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE exit_status
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err)
set(failed FALSE)
if(NOT "${exit_status}" STREQUAL "${EXPECTED_EXIT}")
    message(SEND_ERROR "exit status ${exit_status}, expected ${EXPECTED_EXIT}")
    set(failed TRUE)
endif()
string(REPLACE "\\n" "\n" EXPECTED_STDOUT "${EXPECTED_STDOUT}")
string(REPLACE "\\n" "\n" EXPECTED_STDERR "${EXPECTED_STDERR}")
if(DEFINED EXPECTED_STDOUT AND NOT "${EXPECTED_STDOUT}" STREQUAL "" AND NOT out MATCHES "${EXPECTED_STDOUT}")
    message(SEND_ERROR "stdout does not match:\n${EXPECTED_STDOUT}")
    set(failed TRUE)
endif()
if(DEFINED EXPECTED_STDERR AND NOT "${EXPECTED_STDERR}" STREQUAL "" AND NOT err MATCHES "${EXPECTED_STDERR}")
    message(SEND_ERROR "stderr does not match:\n${EXPECTED_STDERR}")
    set(failed TRUE)
endif()
if(LOG)
    if(NOT EXISTS ${LOG})
        message(SEND_ERROR "no log file ${LOG}")
        set(failed TRUE)
    else()
        file(READ ${LOG} log)
        string(REPLACE "\\n" "\n" EXPECTED_LOG "${EXPECTED_LOG}")
        if(NOT log MATCHES "${EXPECTED_LOG}")
            message(SEND_ERROR "log does not match:\n${EXPECTED_LOG}\n--- log ---\n${log}")
            set(failed TRUE)
        endif()
    endif()
endif()
if(failed)
    message(FATAL_ERROR "kestrel ${ARGS}\n--- stdout ---\n${out}--- stderr ---\n${err}")
endif()
