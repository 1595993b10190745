# Builds the bundled dictionaries with quillet-dict (TOOL) into OUT.
file(MAKE_DIRECTORY ${OUT})

function(run)
  execute_process(COMMAND ${TOOL} ${ARGN} RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "quillet-dict ${ARGN} failed")
  endif()
endfunction()

# Plain lower-case words of three letters or more: no names, no
# abbreviations, no possessives.
file(STRINGS ${WORDS} words ENCODING UTF-8 REGEX "^[a-z][a-z][a-z]+$")
list(JOIN words "\r\n" text)
file(WRITE ${WORK}/english-words.txt "${text}\r\n")

foreach(name English UserDictionary UserShortHands)
  file(REMOVE ${OUT}/${name}.lib)
endforeach()
run(create ${OUT}/English.lib --caption English --description "English words")
run(import ${OUT}/English.lib ${WORK}/english-words.txt)
run(create ${OUT}/UserDictionary.lib --caption "User Dictionary")
run(create ${OUT}/UserShortHands.lib --shorthand --caption "User Shorthands")
run(import ${OUT}/UserShortHands.lib ${DATA}/UserShortHands.txt)
configure_file(${DATA}/english-words-copyright.txt ${OUT}/English.lib.copyright.txt COPYONLY)
