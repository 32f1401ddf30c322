# Cross build for 64-bit Windows with Debian's mingw-w64 (posix thread model, so
# std::thread and std::mutex work); tests run under wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MORVANTIDE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# Tests run under wine's 64-bit loader itself: Debian's "wine" starts the 32-bit
# loader first, which a kernel without 32-bit support cannot run.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
