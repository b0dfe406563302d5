# Cross build for 64-bit Windows: the same programs for the tests under 64-bit
# Wine, on machines that run no 32-bit programs.
set(tam_mingw x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
