# Helpers shared by every part of the build.

# Adds a folder when it has a CMakeLists.txt.
macro(zt_add_subdirectory dir)
  if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt")
    add_subdirectory(${dir})
  endif()
endmacro()

# GoogleTest: Debian's build natively, built from Debian's sources in
# /usr/src/googletest for the cross builds.
if(CMAKE_CROSSCOMPILING)
  if(NOT TARGET gtest)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/_googletest" EXCLUDE_FROM_ALL SYSTEM)
    # Warnings in a dependency are not ours to fix.
    foreach(t gtest gtest_main gmock gmock_main)
      if(TARGET ${t})
        target_compile_options(${t} PRIVATE -w)
      endif()
    endforeach()
  endif()
  set(ZT_GTEST_LIBS gtest gmock gtest_main)
else()
  find_package(GTest REQUIRED)
  set(ZT_GTEST_LIBS GTest::gtest GTest::gmock GTest::gtest_main)
endif()

# zt_add_gtest(NAME sources... [LIBS libs...] [LABELS labels...])
# One test executable, registered as one CTest test. Cross builds run it
# through CMAKE_CROSSCOMPILING_EMULATOR (qemu-user or Wine).
function(zt_add_gtest name)
  cmake_parse_arguments(ARG "" "" "LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${ZT_GTEST_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
