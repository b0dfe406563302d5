# Cross build for 32-bit Windows, the product's own build.
set(tam_mingw i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
