# VELMO_SANITIZE=address,undefined or thread instruments everything built in this tree.
if(VELMO_SANITIZE)
  add_compile_options(-fsanitize=${VELMO_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${VELMO_SANITIZE})
endif()

# The fuzz build instruments the whole core for coverage; the targets add the fuzzer main.
if(VELMO_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
