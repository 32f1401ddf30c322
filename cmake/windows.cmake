# The Windows cross build (toolchain files cmake/mingw-w64-*.cmake): what differs
# from the Linux build is decided here and in platform/win32/, nowhere else.

set(MORVANTIDE_BENCHMARKS OFF CACHE BOOL "" FORCE)

# Debian ships GoogleTest as sources (package googletest, pulled in by libgtest-dev);
# they are built with the cross compiler like the rest.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(lib gtest gtest_main gmock gmock_main)
  # GoogleTest's own sources are not held to our warning flags.
  target_compile_options(${lib} PRIVATE -w)
  if(NOT TARGET GTest::${lib})  # newer GoogleTest releases declare these themselves
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()

# Cases that exercise Linux itself (signals and fork, file modes, FIFOs and symlinks,
# the XDG folders) live in test programs named *_linux_test, which only the Linux
# build declares; the portable cases beside them run here too.

# Where the cross-built tests run. One ctest test per test program, under wine
# (CMAKE_CROSSCOMPILING_EMULATOR); listing every case first would start wine once
# per case.
set(MORVANTIDE_WINE_LABEL wine)
# Quiet wine, and no offer to install its .NET and HTML engines into a fresh prefix.
set(MORVANTIDE_WINE_ENVIRONMENT "WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")

# The Win32 driver of the toolkit conformance suite is not finished: the real
# controls tell the dialog of focus changes (LBN_SETFOCUS, CBN_KILLFOCUS, ...) that
# the suite's exact command lists do not expect, a posted BM_CLICK does not move the
# focus, and the message box's buttons are not all found. Until it is, only the list
# case runs on Win32 (the Win32 toolkit's own cases are in apps_win32_test).
set(MORVANTIDE_WINE_EXCLUDED_toolkit_conformance_test
  "ToolkitConformance/Win32.ArrowKeysChooseTheEntryTheyLandOn"
  ":ToolkitConformance/Win32.TheDialogManagerHandlesTabEnterAndEscape"
  ":ToolkitConformance/Win32.ADisabledControlKeepsTheFocusUntilEnabledAgain"
  ":ToolkitConformance/Win32.KeysDuringAWaitReachTheFocusedControlOnly"
  ":ToolkitConformance/Win32.APumpPassNeverWaitsAndLeavesNothingBehind"
  ":ToolkitConformance/Win32.MessageBoxesOfferTheirButtonsAndShowTheWholeCaption")

function(morvantide_wine_test name)
  set(filter "")
  if(DEFINED MORVANTIDE_WINE_EXCLUDED_${name})
    string(JOIN "" excluded ${MORVANTIDE_WINE_EXCLUDED_${name}})
    set(filter "--gtest_filter=-${excluded}")
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 ${filter})
  set_tests_properties(${name} PROPERTIES LABELS "${MORVANTIDE_WINE_LABEL}"
                       ENVIRONMENT "${MORVANTIDE_WINE_ENVIRONMENT}")
endfunction()
