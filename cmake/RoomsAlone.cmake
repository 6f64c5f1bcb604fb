# Lists, for tests/rooms-alone.sh, every source of the rooms below the
# widgets with the definitions and include folders its room compiles it with.
# The script compiles each on its own (syntax only), so that an include a
# file lacks cannot hide behind one that a batch-mate made.
set(VELTRA_ALONE_LIST ${CMAKE_BINARY_DIR}/rooms-alone.txt)
set(list "compiler\t${CMAKE_CXX_COMPILER}\n")
foreach(dir IN LISTS CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES)
  string(APPEND list "implicit\t${dir}\n")
endforeach()
foreach(room data audio speech analysis export)
  set(target veltra_${room})
  string(APPEND list "room\t${room}\n"
    "$<$<BOOL:$<TARGET_PROPERTY:${target},COMPILE_DEFINITIONS>>:define\t$<JOIN:$<TARGET_PROPERTY:${target},COMPILE_DEFINITIONS>,\ndefine\t>\n>"
    "include\t$<JOIN:$<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>,\ninclude\t>\n")
  get_target_property(sources ${target} SOURCES)
  foreach(source IN LISTS sources)
    if(source MATCHES "\\.cpp$" AND NOT source MATCHES "_autogen/")
      string(APPEND list "source\t${source}\n")
    endif()
  endforeach()
endforeach()
file(GENERATE OUTPUT ${VELTRA_ALONE_LIST} CONTENT "${list}")
