# Compile options shared by every target of the project.
add_library(velmo_warnings INTERFACE)
target_compile_options(velmo_warnings INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 reports false -Wrestrict positives inside std::string at -O2 (GCC bug 105329).
  target_compile_options(velmo_warnings INTERFACE -Wno-restrict)
endif()
if(VELMO_WERROR)
  target_compile_options(velmo_warnings INTERFACE -Werror)
endif()
if(WIN32)
  # Unicode Win32 API, no min/max macros, Windows 7 and later.
  target_compile_definitions(velmo_warnings INTERFACE UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN
                                                      _WIN32_WINNT=0x0601 WINVER=0x0601)
  # The .exe is reproducible: built from the same sources in another folder
  # it has the same bytes. No folder names in the objects, no link time in
  # the PE header.
  target_compile_options(velmo_warnings INTERFACE
                         $<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>
                         $<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>)
  target_link_options(velmo_warnings INTERFACE -Wl,--no-insert-timestamp)
endif()

# Adds a core library: sources given, public include root is the repository top.
function(velmo_add_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC velmo_warnings)
endfunction()

# Links the project's own libraries, named one by one, to `target` with the
# given scope. A name that is no target of this build stops the configure
# (instead of a link line that silently asks the system for it).
function(velmo_link_libraries target scope)
  foreach(lib ${ARGN})
    if(NOT TARGET ${lib})
      message(FATAL_ERROR "${target} links ${lib}, which this build does not define")
    endif()
  endforeach()
  target_link_libraries(${target} ${scope} ${ARGN})
endfunction()
