# Warnings and sanitizers applied to every target of the project.
# LQ_WERROR makes warnings errors; scripts/test sets it, the default build does
# not, so that a newer compiler with new warnings still builds the program.
option(LQ_WERROR "Treat compiler warnings as errors" OFF)
function(lq_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  if(LQ_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(LQ_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
