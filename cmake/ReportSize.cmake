# Reports the size of a built program, next to the size it should stay within
# when AIM (in bytes) is given: cmake -DFILE=path [-DAIM=bytes] -P ReportSize.cmake
file(SIZE "${FILE}" bytes)
math(EXPR kib "(${bytes} + 1023) / 1024")
get_filename_component(name "${FILE}" NAME)
if(DEFINED AIM)
  math(EXPR ratio_percent "${bytes} * 100 / ${AIM}")
  message(STATUS "${name}: ${bytes} bytes (${kib} KiB), ${ratio_percent}% of the aim of at most ${AIM} bytes")
  if(bytes GREATER AIM)
    message(WARNING "${name} is larger than its aim of ${AIM} bytes")
  endif()
else()
  message(STATUS "${name}: ${bytes} bytes (${kib} KiB)")
endif()
