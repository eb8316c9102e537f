# Fails unless the module's dynamic symbol table defines exactly one symbol, _mod_descrip.
# Usage: cmake -DNM=<nm> -DMODULE=<module file> -P exported_symbols.cmake
execute_process(
    COMMAND ${NM} -D --defined-only ${MODULE}
    OUTPUT_VARIABLE listing
    ERROR_VARIABLE problem
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} could not read ${MODULE}: ${problem}")
endif()

# Each line: address, type letter, name.
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(names "")
foreach(line IN LISTS lines)
    string(REGEX REPLACE "^.* " "" name "${line}")
    list(APPEND names "${name}")
endforeach()

if(NOT names STREQUAL "_mod_descrip")
    message(FATAL_ERROR "${MODULE} exports [${names}], expected only _mod_descrip")
endif()
message(STATUS "${MODULE} exports only _mod_descrip")
