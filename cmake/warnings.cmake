# Warnings for the project's own targets, treated as errors. Third-party code (GoogleTest built from
# source for the Windows tests) does not get them.
function(korvane_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
    -Wold-style-cast -Woverloaded-virtual -Wimplicit-fallthrough -Werror)
endfunction()
