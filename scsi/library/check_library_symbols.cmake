# Fails unless Morvantide4 carries nothing of the command library and MorvantideNT
# carries every part of it (one method from each source file).
# Usage: cmake -DNM=nm -DNT=<MorvantideNT> -DFOUR=<Morvantide4> -P check_library_symbols.cmake

foreach(var NM NT FOUR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_library_symbols: -D${var}=... is missing")
  endif()
endforeach()

function(read_symbols program out)
  execute_process(COMMAND "${NM}" -C "${program}" OUTPUT_VARIABLE symbols ERROR_VARIABLE errors
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${program}: ${errors}")
  endif()
  set(${out} "${symbols}" PARENT_SCOPE)
endfunction()

read_symbols("${FOUR}" four)
string(REGEX MATCHALL "[^\n]*CScsiCommandLibrary[^\n]*" found "${four}")
if(found)
  list(JOIN found "\n" found)
  message(FATAL_ERROR "${FOUR} contains the command library:\n${found}")
endif()

read_symbols("${NT}" nt)
foreach(method Read6 Read10 Read12 VendorD6Family VendorEf)
  if(NOT nt MATCHES "CScsiCommandLibrary::${method}\\(")
    message(FATAL_ERROR "${NT} lacks CScsiCommandLibrary::${method}")
  endif()
endforeach()
message(STATUS "Command library: in ${NT}, not in ${FOUR}")
