# Fails when the design note DOC does not end with what GENERATOR prints, so the generated part of
# a note (the catalogue, the column map) never drifts from the code it describes.
#   cmake -DGENERATOR=<program> -DDOC=<note> -P CheckGeneratedDoc.cmake
execute_process(COMMAND ${GENERATOR} OUTPUT_VARIABLE generated RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed (${status})")
endif()
file(READ ${DOC} note)
string(LENGTH "${generated}" generatedLength)
string(LENGTH "${note}" noteLength)
set(tail "")
if(NOT generatedLength GREATER noteLength)
  math(EXPR start "${noteLength} - ${generatedLength}")
  string(SUBSTRING "${note}" ${start} ${generatedLength} tail)
endif()
if(NOT tail STREQUAL generated)
  message(FATAL_ERROR "${DOC} is not current: its generated part differs from what ${GENERATOR} prints. "
                      "Replace the part from its first generated heading to the end with that output.")
endif()
