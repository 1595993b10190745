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
# How common each word is, from SCOWL's size levels: level 10 holds the most
# common words, each higher level rarer ones. A word's value is 100 minus its
# level. The words of the list come first without a value, so that one
# import adds every word and sets the values in a single commit: a dictionary
# file never shrinks, and each commit would leave the last one's columns
# behind as free space.
if(SCOWL AND EXISTS ${SCOWL}/english-words.10)
  list(TRANSFORM words APPEND "\t0" OUTPUT_VARIABLE counts)
  string(REPLACE "," ";" LEVELS "${LEVELS}")
  foreach(level ${LEVELS})
    foreach(list english american)
      if(EXISTS ${SCOWL}/${list}-words.${level})
        file(STRINGS ${SCOWL}/${list}-words.${level} level_words REGEX "^[a-z][a-z][a-z]+$")
        math(EXPR value "100 - ${level}")
        list(TRANSFORM level_words APPEND "\t${value}")
        list(APPEND counts ${level_words})
      endif()
    endforeach()
  endforeach()
  list(JOIN counts "\r\n" text)
  file(WRITE ${WORK}/english-counts.txt "${text}\r\n")
  run(import-counts ${OUT}/English.lib ${WORK}/english-counts.txt)
else()
  run(import ${OUT}/English.lib ${WORK}/english-words.txt)
endif()
run(create ${OUT}/UserDictionary.lib --caption "User Dictionary")
run(create ${OUT}/UserShortHands.lib --shorthand --caption "User Shorthands")
run(import ${OUT}/UserShortHands.lib ${DATA}/UserShortHands.txt)
configure_file(${DATA}/english-words-copyright.txt ${OUT}/English.lib.copyright.txt COPYONLY)
