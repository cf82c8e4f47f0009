# Installs the build into a scratch prefix and checks the layout the programs
# look for: both programs in bin, the data files and the patcher's notes in
# share/tavrel, the notes byte for byte as written in data/.
#   cmake -DBUILD_DIR=... -DPREFIX=... -DSOURCE_DIR=... -P install_layout.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE failed OUTPUT_QUIET ERROR_VARIABLE errors)
if(failed)
  message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()
foreach(file bin/tavrel share/tavrel/kdefattr.dat share/tavrel/kdefattr-en.txt share/tavrel/mb.dat
             share/tavrel/z_modify.txt share/tavrel/z_modify-en.txt)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "the install lacks ${file}")
  endif()
endforeach()
foreach(notes z_modify.txt z_modify-en.txt)
  file(SHA256 "${PREFIX}/share/tavrel/${notes}" installed)
  file(SHA256 "${SOURCE_DIR}/data/${notes}" written)
  if(NOT installed STREQUAL written)
    message(FATAL_ERROR "share/tavrel/${notes} differs from data/${notes}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
