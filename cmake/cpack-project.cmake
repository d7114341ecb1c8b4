# Read by cpack for each generator. Without dpkg-shlibdeps, CPack would
# write a .deb with no Depends at all, saying only that "only user-provided
# dependencies will be used": stop instead.
if(CPACK_GENERATOR STREQUAL "DEB")
  # Found as the shell finds it, on PATH.
  find_program(dpkg_shlibdeps dpkg-shlibdeps NO_CMAKE_SYSTEM_PATH)
  if(NOT dpkg_shlibdeps)
    message(FATAL_ERROR "cpack -G DEB needs dpkg-shlibdeps for the package's "
      "Depends: install dpkg-dev (scripts/install-deps --tests).")
  endif()
endif()
