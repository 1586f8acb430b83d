# cmake -DSOURCE=Dictionary.tsv -DOUTPUT=SeedMessageRows.inc -P MessageRows.cmake
# Writes the server's message rows ({"E", "100160", "..."},) from the Simplified texts of the
# dictionary's source table (its "ZtMsg" component rows), so the seed and the client's
# dictionary read one table and cannot drift apart.
file(STRINGS "${SOURCE}" lines ENCODING UTF-8 REGEX "^O\tZtMsg\t")
set(rows "// Generated from tools/dictionary/Dictionary.tsv by cmake/MessageRows.cmake; edit the table, not this file.\n")
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^O\tZtMsg\t([A-Z])([0-9]+)\tText\t-\t-\t([^\t]+)\t[^\t]+$")
    message(FATAL_ERROR "${SOURCE}: a message row is not \"O ZtMsg <type><code> Text - - <CHS> <ENG>\": ${line}")
  endif()
  set(type "${CMAKE_MATCH_1}")
  set(code "${CMAKE_MATCH_2}")
  set(text "${CMAKE_MATCH_3}")
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(APPEND rows "{\"${type}\", \"${code}\", \"${text}\"},\n")
endforeach()
# Rewritten only when it changed, so an edit elsewhere in the table rebuilds nothing.
file(WRITE "${OUTPUT}.new" "${rows}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
