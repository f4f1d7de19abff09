# Every target of the project builds warnings-clean at this level.
function(hushvault_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()
