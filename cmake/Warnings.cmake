# The warnings every target of the tree is built with. TAVREL_WERROR turns
# them into errors; scripts/test, scripts/test-sanitized and so CI switch it
# on (the package's -O3 build names it off), a plain build leaves it off so that a newer
# compiler's new warnings cannot stop a user's build.
option(TAVREL_WERROR "Treat compiler warnings as errors" OFF)

function(tavrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  if(TAVREL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
    # Under the sanitizers' instrumentation GCC 12 reports "may be used
    # uninitialized" inside the standard library's own <regex> and
    # <functional>; in that build they stay warnings, while the plain build
    # (scripts/test) keeps them errors for the tree's own code.
    if(TAVREL_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-error=maybe-uninitialized)
    endif()
  endif()
endfunction()
