# Writes OUTPUT: one initializer {"NAME", R"plsql(text)plsql"} per object of OBJECTS (names
# separated by commas, in sending order), the text being SOURCE_DIR/NAME.sql with carriage
# returns removed and the trailing line ends dropped, so that the lines are separated by
# single line feeds whatever the checkout did to them.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "," ";" objects "${OBJECTS}")
set(generated "// Generated at build time from the PL/SQL sources in dist/oracle; edit those.\n")
foreach(object IN LISTS objects)
  file(READ "${SOURCE_DIR}/${object}.sql" text)
  string(REPLACE "\r" "" text "${text}")
  string(REGEX REPLACE "[ \t\n]+$" "" text "${text}")
  string(FIND "${text}" ")plsql\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${SOURCE_DIR}/${object}.sql contains the literal's end marker )plsql\"")
  endif()
  string(APPEND generated "{\"${object}\", R\"plsql(${text})plsql\"},\n")
endforeach()
file(WRITE "${OUTPUT}" "${generated}")
