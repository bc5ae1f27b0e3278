# Writes the names of every macro that the runtime's headers define (as the
# C++ compiler sees them when it builds a translated program) as a list of
# C++ string literals. The translator renames BASIC names that would be
# replaced by one of them.
# cmake -DCOMPILER=c++ -DINCLUDE=dir -DHEADER=commands.h -DOUTPUT=file -P list_macros.cmake
execute_process(COMMAND ${COMPILER} -std=c++20 -dM -E -x c++ -I${INCLUDE} ${HEADER}
                OUTPUT_VARIABLE defines RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot list the macros of ${HEADER}")
endif()
# Names that start with '_' cannot be BASIC names.
string(REGEX MATCHALL "#define [A-Za-z][A-Za-z0-9_]*" lines "${defines}")
set(names "")
foreach(line ${lines})
  string(SUBSTRING "${line}" 8 -1 name)
  list(APPEND names "${name}")
endforeach()
list(REMOVE_DUPLICATES names)
list(SORT names)
set(text "// Generated from the runtime's headers by list_macros.cmake.\n")
foreach(name ${names})
  string(APPEND text "\"${name}\",\n")
endforeach()
file(WRITE ${OUTPUT}.new "${text}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
