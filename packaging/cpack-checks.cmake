# Read by cpack before it packages. Without dpkg-shlibdeps CPack quietly writes a .deb that
# depends on nothing: stop instead, and say what to install.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(NOT DPKG_SHLIBDEPS)
    message(FATAL_ERROR "Making the .deb needs dpkg-shlibdeps: install the package dpkg-dev.")
  endif()
endif()
