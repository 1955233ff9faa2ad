# Read by cpack before it packages. CPack quietly writes a .deb without Depends when
# dpkg-shlibdeps is missing, and fails without naming `file` when that is: say what to install.
if(CPACK_GENERATOR STREQUAL "DEB")
  foreach(tool_and_package "dpkg-shlibdeps;dpkg-dev" "file;file")
    list(GET tool_and_package 0 tool)
    list(GET tool_and_package 1 package)
    find_program(found_${tool} ${tool})
    if(NOT found_${tool})
      message(FATAL_ERROR "Making the .deb needs ${tool}: install the package ${package}.")
    endif()
  endforeach()
endif()
