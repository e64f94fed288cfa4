# Runs the options script, then the show-options script on the same save folder, and checks what the second
# start loaded: the music near 0.30, the lowest texture level, MOVE FORWARD on the Up arrow (200), LOOK DOWN
# unbound (0) and the crosshair off.
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}" "${PNG_DIR}")
execute_process(COMMAND "${DEMO}" --script options --save-folder "${FOLDER}" --png-dir "${PNG_DIR}"
                RESULT_VARIABLE first OUTPUT_VARIABLE first_out ERROR_VARIABLE first_err)
message("${first_out}")
if(NOT first EQUAL 0)
  message(FATAL_ERROR "options script failed (${first}): ${first_err}")
endif()
execute_process(COMMAND "${DEMO}" --script show-options --save-folder "${FOLDER}" RESULT_VARIABLE second
                OUTPUT_VARIABLE second_out ERROR_VARIABLE second_err)
message("${second_out}")
if(NOT second EQUAL 0)
  message(FATAL_ERROR "show-options script failed (${second}): ${second_err}")
endif()
foreach(expected "options music 0\\.(2[6-9]|3[0-4]) sound 0\\.80 texture 0" "binding forward 200 look down 0"
                 "crosshair 0" "texture level 0")
  if(NOT second_out MATCHES "${expected}")
    message(FATAL_ERROR "show-options printed no line matching '${expected}'")
  endif()
endforeach()
