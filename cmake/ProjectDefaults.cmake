# Warnings and sanitizers applied to every target of the project.
function(lq_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

if(LQ_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
