# Starts the real kestrel window under a virtual X server (xvfb-run), runs SCRIPT, writes
# snapshots of the window and of the tool's layout with its panel into OUT, and quits. Checks
# the exit status, that the statements after "quit" never ran, and that both pictures exist.
find_program(XVFB_RUN xvfb-run)
if(NOT XVFB_RUN)
    message("Skipped: xvfb-run is not installed")
    return()
endif()
set(desktop ${OUT}/desktop.png)
set(panel ${OUT}/desktop-panel.png)
file(REMOVE ${desktop} ${panel})
set(panel_name "kestrelMainWindow|kntCharacterizationScrollControl")
execute_process(
    COMMAND ${XVFB_RUN} -a -s "-screen 0 1600x1000x24" ${KESTREL} ${SCENE} -s ${SCRIPT}
        -c "snapshot \"${desktop}\"; snapshot -widget \"${panel_name}\" \"${panel}\"; print \"smoke done\"; quit; print \"never\""
    RESULT_VARIABLE status
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err
    TIMEOUT 120)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "kestrel exited with ${status}\nstdout:\n${out}\nstderr:\n${err}")
endif()
if(NOT out MATCHES "smoke done" OR out MATCHES "never")
    message(FATAL_ERROR "unexpected output:\n${out}\nstderr:\n${err}")
endif()
foreach(picture ${desktop} ${panel})
    if(NOT EXISTS ${picture})
        message(FATAL_ERROR "no picture ${picture}\nstderr:\n${err}")
    endif()
endforeach()
