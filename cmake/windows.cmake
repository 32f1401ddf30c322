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
# the XDG folders, a file system where case matters, the profile stand-in's bytes)
# live in test programs named *_linux_test, which only the Linux build declares;
# every other case runs here too, none is left out.

# Where the cross-built tests run. One ctest test per test program, under wine
# (CMAKE_CROSSCOMPILING_EMULATOR); listing every case first would start wine once
# per case.
set(MORVANTIDE_WINE_LABEL wine)
# Quiet wine, and no offer to install its .NET and HTML engines into a fresh prefix.
set(MORVANTIDE_WINE_ENVIRONMENT "WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")

function(morvantide_wine_test name)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES LABELS "${MORVANTIDE_WINE_LABEL}"
                       ENVIRONMENT "${MORVANTIDE_WINE_ENVIRONMENT}")
endfunction()
