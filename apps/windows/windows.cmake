# The programs as Windows programs: GUI subsystem, with their icon, manifest and
# version resource, and their command line tested under wine.

# The icon files (apps/windows/*.ico) are the programs' own pictures written by a tool
# of ours; a wine test checks that they still are (refresh: run the tool, copy them).
add_executable(morvantide_icon_file ${PROJECT_SOURCE_DIR}/tools/icon_file/icon_file.cpp)
target_link_libraries(morvantide_icon_file PRIVATE ui_resources)

set(morvantide_version_MorvantideNT 1.0.0)
set(morvantide_version_Morvantide4 4.1.0)
set(morvantide_description_MorvantideNT "KESTREL MX-R4410 firmware update (drive letters)")
set(morvantide_description_Morvantide4 "KESTREL MX-R4410 firmware update (ASPI)")

foreach(program MorvantideNT Morvantide4)
  set(PROGRAM ${program})
  set(VERSION ${morvantide_version_${program}})
  string(REPLACE "." "," VERSION_COMMAS ${VERSION})
  set(DESCRIPTION ${morvantide_description_${program}})
  set(ICON_FILE ${CMAKE_CURRENT_SOURCE_DIR}/windows/${program}.ico)
  set(MANIFEST_FILE ${CMAKE_CURRENT_SOURCE_DIR}/windows/morvantide.manifest)
  configure_file(windows/program.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc @ONLY)
  add_test(NAME ${program}.IconFileIsCurrent
    COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:morvantide_icon_file> -DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}
            -DPROGRAM=${program} -DEXPECTED=${ICON_FILE} -DACTUAL=${CMAKE_CURRENT_BINARY_DIR}/${program}.ico
            -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/compare_icon.cmake)
  set_tests_properties(${program}.IconFileIsCurrent PROPERTIES LABELS wine ENVIRONMENT "${MORVANTIDE_WINE_ENVIRONMENT}")
  target_sources(${program} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc)
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${program}.rc PROPERTIES
    OBJECT_DEPENDS "${ICON_FILE};${MANIFEST_FILE}")
  set_target_properties(${program} PROPERTIES WIN32_EXECUTABLE ON)

  add_test(NAME ${program}.Version COMMAND ${program} --version)
  set_tests_properties(${program}.Version PROPERTIES LABELS wine ENVIRONMENT "${MORVANTIDE_WINE_ENVIRONMENT}"
                       PASS_REGULAR_EXPRESSION "^${program} ${VERSION}\r?\n$")
  add_test(NAME ${program}.Help COMMAND ${program} --help)
  set_tests_properties(${program}.Help PROPERTIES LABELS wine ENVIRONMENT "${MORVANTIDE_WINE_ENVIRONMENT}"
                       PASS_REGULAR_EXPRESSION "Usage: ${program} \\[OPTION\\]")
  add_test(NAME ${program}.TerminalRefused COMMAND ${program} --terminal)
  set_tests_properties(${program}.TerminalRefused PROPERTIES LABELS wine ENVIRONMENT "${MORVANTIDE_WINE_ENVIRONMENT}"
                       WILL_FAIL ON)
endforeach()

# The Win32 toolkit over the programs' resources, and MorvantideNT's transport over
# the Win32 pass-through: they need the layers above the platform.
morvantide_test(apps_win32_test SOURCES windows/win32_toolkit_test.cpp windows/win32_pass_through_system_test.cpp
  LIBS platform_win32_toolkit platform_win32_pass_through transport_pass_through ui_resources framework_testing)

# The toolkit conformance suite on the Win32 toolkit and the scripted one.
morvantide_test(toolkit_conformance_test SOURCES conformance/toolkit_conformance_test.cpp
  LIBS platform_win32_toolkit framework_testing ui_resources)
target_include_directories(toolkit_conformance_test PRIVATE windows)
