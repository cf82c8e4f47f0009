# The warnings every target of the tree is built with. TAVREL_WERROR turns
# them into errors; scripts/test, scripts/test-sanitized and CI switch it on,
# a plain build leaves it off so that a newer compiler's new warnings cannot
# stop a user's build.
option(TAVREL_WERROR "Treat compiler warnings as errors" OFF)

function(tavrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  if(TAVREL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
