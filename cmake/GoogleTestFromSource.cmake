# GoogleTest built for the target from the sources Debian ships in /usr/src/googletest: a cross
# build finds no packaged GoogleTest for its target. GoogleTest's own build defines GTest::gtest and
# GTest::gtest_main, the names the package gives.
set(VANTOREL_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${VANTOREL_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
