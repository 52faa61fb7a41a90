# fast_float for the Windows build: Debian's headers, which are the same for
# every target, without the rest of /usr/include, whose Linux headers would
# take the place of mingw-w64's.
if(NOT TARGET FastFloat::fast_float)
  set(_konversi_fast_float_include ${CMAKE_BINARY_DIR}/fast-float-include)
  file(MAKE_DIRECTORY ${_konversi_fast_float_include})
  if(NOT EXISTS ${_konversi_fast_float_include}/fast_float)
    file(CREATE_LINK /usr/include/fast_float ${_konversi_fast_float_include}/fast_float SYMBOLIC)
  endif()
  add_library(FastFloat::fast_float INTERFACE IMPORTED)
  set_target_properties(FastFloat::fast_float PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${_konversi_fast_float_include})
endif()
set(FastFloat_FOUND TRUE)
