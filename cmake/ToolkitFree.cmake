# The toolkit-free rooms must stay so: a library among them that links Qt, directly or
# through another library, stops the configuration here rather than surfacing later as
# a command line that needs a display server's libraries.

# Every target `target` links, directly or through others, into the global property
# VTQ_LINKED_<target>.
function(vtq_collect_links root target)
  get_property(seen GLOBAL PROPERTY VTQ_LINKED_${root})
  if(target IN_LIST seen)
    return()
  endif()
  set_property(GLOBAL APPEND PROPERTY VTQ_LINKED_${root} ${target})
  # Imported targets, Qt's among them, are targets only in the folder that found them:
  # the name is recorded all the same, and only our own targets are followed further.
  if(NOT TARGET ${target})
    return()
  endif()
  set(links)
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(direct ${target} LINK_LIBRARIES)
    if(direct)
      list(APPEND links ${direct})
    endif()
  endif()
  get_target_property(usage ${target} INTERFACE_LINK_LIBRARIES)
  if(usage)
    list(APPEND links ${usage})
  endif()
  foreach(lib IN LISTS links)
    # A static library's private links come back as $<LINK_ONLY:...>: they link all the same.
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
    vtq_collect_links(${root} "${lib}")
  endforeach()
endfunction()

function(vtq_check_toolkit_free)
  foreach(target IN LISTS ARGN)
    if(NOT TARGET ${target})
      continue()
    endif()
    vtq_collect_links(${target} ${target})
    get_property(linked GLOBAL PROPERTY VTQ_LINKED_${target})
    foreach(lib IN LISTS linked)
      if(lib MATCHES "^Qt[0-9]*::")
        message(FATAL_ERROR "${target} is toolkit-free but links ${lib}: move the Qt code into a room of its own")
      endif()
    endforeach()
  endforeach()
endfunction()
