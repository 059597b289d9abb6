# Makes the core's text table, generated/res/Texts.inc, from the text files:
#   res/texts/common.txt  texts the same in every language: names, and the
#                         words written into files that scripts and older
#                         versions read
#   res/texts/ja.txt      the Japanese texts
#   res/texts/en.txt      the English texts: the same ids as ja.txt
# Each becomes one {id, "Japanese", "English"} entry. A line that is neither a
# comment nor "ID "text"", an id twice, and an id that one language has and
# the other lacks stop the configuration.

# Reads one text file into <prefix>_ids and <prefix>_<ID>.
function(velmo_read_texts table prefix)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table})
  file(STRINGS ${table} lines ENCODING UTF-8)
  set(ids "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^#" OR line STREQUAL "")
      continue()
    endif()
    if(NOT line MATCHES "^([A-Z][A-Z0-9_]*) +(\"[^\"\\\\]*(\\\\[nt][^\"\\\\]*)*\")$")
      message(FATAL_ERROR "${table}: not an id and a quoted text: ${line}")
    endif()
    set(id ${CMAKE_MATCH_1})
    if(id IN_LIST ids)
      message(FATAL_ERROR "${table}: ${id} twice")
    endif()
    list(APPEND ids ${id})
    set(${prefix}_${id} "${CMAKE_MATCH_2}" PARENT_SCOPE)
  endforeach()
  set(${prefix}_ids "${ids}" PARENT_SCOPE)
endfunction()

function(velmo_generate_texts common ja en out_dir)
  velmo_read_texts(${common} common)
  velmo_read_texts(${ja} ja)
  velmo_read_texts(${en} en)
  set(inc "// Made from res/texts/*.txt by res/Texts.cmake; edit those files.\n")
  string(APPEND inc "{IDS_VERSION, VELMO_VERSION_TEXT, VELMO_VERSION_TEXT},\n")
  foreach(id IN LISTS common_ids)
    if(id IN_LIST ja_ids OR id IN_LIST en_ids)
      message(FATAL_ERROR "${common}: ${id} is also in a language's file")
    endif()
    string(APPEND inc "{${id}, ${common_${id}}, ${common_${id}}},\n")
  endforeach()
  foreach(id IN LISTS ja_ids)
    if(NOT id IN_LIST en_ids)
      message(FATAL_ERROR "${en}: no English text for ${id}")
    endif()
    string(APPEND inc "{${id}, ${ja_${id}}, ${en_${id}}},\n")
  endforeach()
  foreach(id IN LISTS en_ids)
    if(NOT id IN_LIST ja_ids)
      message(FATAL_ERROR "${ja}: no Japanese text for ${id}")
    endif()
  endforeach()
  # Written only when changed, so an unchanged table rebuilds nothing.
  file(CONFIGURE OUTPUT ${out_dir}/Texts.inc CONTENT "${inc}" @ONLY)
endfunction()
