# Fails unless the Windows module file is what the host can load: a DLL in the expected PE format
# (PE32 for 32-bit Windows, PE32+ for 64-bit), exporting exactly one name, _mod_descrip, as is
# (no decoration), and importing only from DLLs that come with Windows, so that no runtime DLL of
# the compiler has to be shipped beside it.
# Usage: cmake -DOBJDUMP=<objdump> -DMODULE=<module file> -DFORMAT=PE32|PE32+ -P pe_headers.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(
    COMMAND ${OBJDUMP} -p ${MODULE}
    OUTPUT_VARIABLE headers
    ERROR_VARIABLE problem
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} could not read ${MODULE}: ${problem}")
endif()

set(faults "")

if(NOT headers MATCHES "\nMagic[ \t]+[0-9a-f]+[ \t]+\\(([A-Z0-9+]+)\\)")
    list(APPEND faults "no optional header")
elseif(NOT CMAKE_MATCH_1 STREQUAL FORMAT)
    list(APPEND faults "format ${CMAKE_MATCH_1}, expected ${FORMAT}")
endif()

if(NOT headers MATCHES "\nCharacteristics [^\n]*\n(\t[^\n]*\n)*\tDLL\n")
    list(APPEND faults "not marked as a DLL")
endif()

# The export names follow "[Ordinal/Name Pointer] Table", one per line as "[ n] name".
set(exports "")
if(headers MATCHES "\\[Ordinal/Name Pointer\\] Table[^\n]*\n((\t\\[[^\n]*\n)*)")
    string(REGEX MATCHALL "\\] [^\n]+" entries "${CMAKE_MATCH_1}")
    foreach(entry IN LISTS entries)
        string(SUBSTRING "${entry}" 2 -1 name)
        list(APPEND exports "${name}")
    endforeach()
endif()
if(NOT exports STREQUAL "_mod_descrip")
    list(APPEND faults "exports [${exports}], expected only _mod_descrip")
endif()

# Windows' own DLLs: the kernel and the C runtimes that come with the system.
set(system_dlls kernel32.dll ntdll.dll msvcrt.dll ucrtbase.dll user32.dll advapi32.dll)
string(REGEX MATCHALL "DLL Name: [^\n]+" entries "${headers}")
set(imports "")
foreach(entry IN LISTS entries)
    string(SUBSTRING "${entry}" 10 -1 dll)
    list(APPEND imports "${dll}")
    string(TOLOWER "${dll}" dll_lower)
    if(NOT dll_lower IN_LIST system_dlls AND NOT dll_lower MATCHES "^api-ms-win-")
        list(APPEND faults "imports ${dll}, which does not come with Windows")
    endif()
endforeach()

if(faults)
    list(JOIN faults "; " text)
    message(FATAL_ERROR "${MODULE}: ${text}")
endif()
message(STATUS "${MODULE}: ${FORMAT} DLL exporting _mod_descrip only, importing [${imports}]")
