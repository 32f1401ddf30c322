# Fails unless each program carries its own transport, selection half, error-text
# flavour and texts, and nothing of the other program's: the symbols (nm -C) and
# the texts (the strings in the file) of one must not turn up in the other.
# Usage: cmake -DNM=nm -DNT=<MorvantideNT> -DFOUR=<Morvantide4> -DNT_SYSTEM=<pass-through class>
#        -DFOUR_SYSTEM=<ASPI manager class> -P check_program_contents.cmake
# The two system classes are the operating system's backends the programs are built with.

cmake_minimum_required(VERSION 3.25)

foreach(var NM NT FOUR NT_SYSTEM FOUR_SYSTEM)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_program_contents: -D${var}=... is missing")
  endif()
endforeach()

# Symbols and texts that belong to one program only.
# MorvantideNT carries the general command library whole (one method from each of
# its source files), called or not.
set(nt_symbols PassThroughTransport:: kTargetStatusTableNT PassThroughErrorText DriveLetterSelection::
    ScanDriveLetters ${NT_SYSTEM} SimPassThroughSystem "CScsiCommandLibrary::Read6("
    "CScsiCommandLibrary::Read10(" "CScsiCommandLibrary::Read12(" "CScsiCommandLibrary::VendorD6Family("
    "CScsiCommandLibrary::VendorEf(" CScsiCommandLibrary::)
set(nt_texts "Reservation Conflict." "Intermediate-Condition Met." "Get Handle Error: " "Buffer Too Big"
    "Format message failed.")
set(four_symbols AspiTransport:: kTargetStatusTable4 AspiErrorText HostAdapterSelection:: ScanAspiDevices
    ${FOUR_SYSTEM} SimAspiManager SelectionMemory:: SrbStatusText HaStatusText)
set(four_texts "Request Conflict." "Aspi Error : " "This target is executing now." "Aspi Timeout Error."
    "Selection timeout." "HA Set Error" "HostAdaptor")

function(read_contents program symbols_out)
  execute_process(COMMAND "${NM}" -C "${program}" OUTPUT_VARIABLE symbols ERROR_VARIABLE errors
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${program}: ${errors}")
  endif()
  set(${symbols_out} "${symbols}" PARENT_SCOPE)
endfunction()

# Fails when `program` lacks one of its own or holds one of the other's.
function(check program own_symbols own_texts other_symbols other_texts)
  read_contents("${program}" symbols)
  file(STRINGS "${program}" texts)
  list(JOIN texts "\n" texts)
  set(problems "")
  foreach(symbol IN LISTS own_symbols)
    string(FIND "${symbols}" "${symbol}" at)
    if(at EQUAL -1)
      list(APPEND problems "lacks its own ${symbol}")
    endif()
  endforeach()
  foreach(symbol IN LISTS other_symbols)
    string(FIND "${symbols}" "${symbol}" at)
    if(NOT at EQUAL -1)
      list(APPEND problems "holds the other program's ${symbol}")
    endif()
  endforeach()
  foreach(text IN LISTS own_texts)
    string(FIND "${texts}" "${text}" at)
    string(LENGTH "${text}" length)
    # A text that fits a string's inline buffer may be built from immediate
    # stores and not appear in the file at all: only the longer ones must.
    if(at EQUAL -1 AND length GREATER 15)
      list(APPEND problems "lacks its own text \"${text}\"")
    endif()
  endforeach()
  foreach(text IN LISTS other_texts)
    string(FIND "${texts}" "${text}" at)
    if(NOT at EQUAL -1)
      list(APPEND problems "holds the other program's text \"${text}\"")
    endif()
  endforeach()
  if(problems)
    list(JOIN problems "\n  " problems)
    message(FATAL_ERROR "${program}:\n  ${problems}")
  endif()
endfunction()

check("${NT}" "${nt_symbols}" "${nt_texts}" "${four_symbols}" "${four_texts}")
check("${FOUR}" "${four_symbols}" "${four_texts}" "${nt_symbols}" "${nt_texts}")
message(STATUS "Each program carries its own texts and none of the other's")
