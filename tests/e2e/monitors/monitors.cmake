# The end-to-end cases across two monitors, a program of their own: scripts/test runs it once
# more in a session that shows the two monitors (scripts/lib/wine-env, start_monitor_session);
# in any other session its cases skip.
file(GLOB monitor_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
add_executable(vistrel_monitor_tests ${monitor_sources})
target_link_libraries(vistrel_monitor_tests PRIVATE vistrel_test_support gtest_main)
target_link_options(vistrel_monitor_tests PRIVATE ${VISTREL_TEST_LINK_OPTIONS})
add_dependencies(vistrel_monitor_tests vistrel)
vistrel_add_gtest(vistrel_monitor_tests)

# Wine's X11 driver, a host program, loads libXinerama.so.1 for the monitors when the X server
# offers no RandR; this stand-in names the two. The cross compiler cannot build it.
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
  find_program(VISTREL_HOST_CC NAMES cc gcc clang REQUIRED)
  set(xinerama_source ${CMAKE_CURRENT_LIST_DIR}/fake_xinerama.c)
  set(xinerama_library ${CMAKE_BINARY_DIR}/host/monitors/libXinerama.so.1)
  add_custom_command(OUTPUT ${xinerama_library}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host/monitors
      COMMAND ${VISTREL_HOST_CC} -std=c99 -O2 -Wall -Wextra -Wshadow -fPIC -shared
              -Wl,-soname,libXinerama.so.1 -o ${xinerama_library} ${xinerama_source}
      DEPENDS ${xinerama_source}
      COMMENT "Building the two-monitor libXinerama.so.1 for the build machine"
      VERBATIM)
  add_custom_target(fake_xinerama ALL DEPENDS ${xinerama_library})
  add_dependencies(vistrel_monitor_tests fake_xinerama)
endif()
