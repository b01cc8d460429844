# The command line and the web page reach the rooms below the window model (the analysis,
# the core library, the design and MAS files, the printouts) only through the model, so that all three faces
# compute, word and check alike. After a face's code is built, its objects may leave no
# function of those rooms to the linker, save what a face needs to show what the model gave
# it: a page drawn as text, the clock and a date typed in, the wording of a system error.
# A side door then fails the build, naming the function and the object that calls it.
#
# In a build: vtq_only_door(TARGET target OBJECTS files...) checks after `target` is linked.
# As a script: cmake -DNM=nm -DOBJECTS="a.o;lib.a" -P OnlyDoor.cmake
set(VTQ_ONLY_DOOR_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(vtq_only_door)
  cmake_parse_arguments(PARSE_ARGV 0 door "" "TARGET" "OBJECTS")
  add_custom_command(TARGET ${door_TARGET} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} "-DOBJECTS=${door_OBJECTS}" -P ${VTQ_ONLY_DOOR_SCRIPT}
    COMMAND_EXPAND_LISTS VERBATIM)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  set(rooms "^ *U +vtq::(analysis|cores|files|mas|reports|safety)::")
  set(allowed "U +vtq::(reports::(RenderText|Today|ParseDateText)|files::ReasonOf)[[(]")
  set(doors "")
  foreach(object ${OBJECTS})
    execute_process(COMMAND ${NM} -C --undefined-only ${object}
      OUTPUT_VARIABLE listing RESULT_VARIABLE failed ERROR_VARIABLE why)
    if(failed)
      message(FATAL_ERROR "cannot list the symbols of ${object}: ${why}")
    endif()
    string(REPLACE "\n" ";" lines "${listing}")
    foreach(line ${lines})
      if(line MATCHES "${rooms}" AND NOT line MATCHES "${allowed}")
        string(REGEX REPLACE "^ *U +" "" line "${line}")
        string(APPEND doors "\n  ${line}")
      endif()
    endforeach()
    if(NOT doors STREQUAL "")
      message(FATAL_ERROR "${object} goes around the window model, calling:${doors}\n"
        "Call the window model's command or view instead.")
    endif()
  endforeach()
endif()
