# A stand-in gdiplus.dll that the end-to-end tests plant beside vistrel.exe; it leaves a marker
# file when loaded, so a test can tell that the program never took it.
add_library(gdiplus_planted SHARED ${CMAKE_CURRENT_LIST_DIR}/gdiplus_planted_dll.cpp)
set_target_properties(gdiplus_planted PROPERTIES PREFIX "" OUTPUT_NAME gdiplus_planted)
target_link_options(gdiplus_planted PRIVATE ${VISTREL_TEST_LINK_OPTIONS})
add_dependencies(vistrel_e2e_tests gdiplus_planted)
# The Win32 tests copy it beside themselves to check the process's library search.
add_dependencies(vistrel_win32_tests gdiplus_planted)
