# cmake -DDIR=<folder> [-DCHECK=ON] -P CleanTestTemp.cmake
# Empties the tests' temporary folder. With CHECK, fails afterwards naming
# whatever a test left there: each test program works in a folder of its own
# below it and removes that at its end. Only the benchmarks run as tests
# leave the program's per-user folder (which the program keeps between runs)
# and the toolkit's runtime folder there.
if(NOT IS_DIRECTORY "${DIR}")
  return()
endif()
file(GLOB entries RELATIVE "${DIR}" "${DIR}/*" "${DIR}/.*")
set(stray)
list(REMOVE_ITEM entries "." "..")
foreach(entry IN LISTS entries)
  if(NOT entry MATCHES "^(veltra-[0-9]+|runtime-.+)$")
    list(APPEND stray "${entry}")
  endif()
  file(REMOVE_RECURSE "${DIR}/${entry}")
endforeach()
if(CHECK AND stray)
  message(FATAL_ERROR "Tests left behind in ${DIR}: ${stray}")
endif()
