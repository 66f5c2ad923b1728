# Runs the engine example for FRAMES frames and checks that it exits with 0 after
# printing its two hit tests and its shutdown line.
#   cmake -DPROGRAM=<engine_example_headless> -DFRAMES=60 -P run_example.cmake
execute_process(COMMAND ${PROGRAM} ${FRAMES}
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
