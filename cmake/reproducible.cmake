# The same commit builds the same bytes wherever it is checked out: no folder name enters
# the program (debug information, file names in messages), so the build id and the
# stripped program do not depend on where the build ran. The sanitizer and fuzz builds
# keep their full paths, which their reports point at.
if(NOT MSVC AND NOT ORV_SANITIZE AND NOT ORV_FUZZ)
  add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
                      -ffile-prefix-map=${CMAKE_BINARY_DIR}=./build)
endif()
