# Runs the engine example for FRAMES frames and checks that it exits with 0 after
# printing its two hit tests and its shutdown line.
#   cmake -DPROGRAM=<engine_example_headless> -DFRAMES=60 [-DEMULATOR=a|b] -P run_example.cmake
# EMULATOR is the command that runs a cross-built program here, its words split by |.
string(REPLACE "|" ";" emulator "${EMULATOR}")
execute_process(COMMAND ${emulator} ${PROGRAM} ${FRAMES}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}${errors}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the example exited with ${result}")
endif()
foreach(line "ARROW touches: ARROW2\n" "at \\(275, 156\\): ARROW4\n" "${FRAMES} frames, shut down\n")
  if(NOT output MATCHES "${line}")
    message(FATAL_ERROR "the example did not print \"${line}\"")
  endif()
endforeach()
