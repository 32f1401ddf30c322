# Cross build for 32-bit Windows with Debian's mingw-w64 (posix thread model); the
# ASPI program is 32-bit because ASPI managers are 32-bit DLLs. Tests run under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MORVANTIDE_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# Tests run under wine's 32-bit loader, which needs a kernel that runs 32-bit programs.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
