# Helpers that give every Velmora target the same language level and warnings.
# Our own code builds with warnings as errors; outside headers are included as
# system headers so their warnings never stop the build.

set(VELMORA_WARNINGS
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wcast-qual -Wformat=2 -Wimplicit-fallthrough -Werror)

# GCC 12 reports std::string concatenation as overlapping memcpy at -O2 and
# above (GCC bug 105329); the warning is wrong there and only there.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND VELMORA_WARNINGS -Wno-restrict)
endif()

function(velmora_apply_warnings target)
  target_compile_options(${target} PRIVATE ${VELMORA_WARNINGS})
endfunction()

# velmora_include_root(<folder> <variable>)
# A folder's headers are included as "<folder>/<file>.h". Each folder gets an
# include root of its own in the build tree, holding one link named after the
# folder, so a target sees the headers of the libraries it links and no
# others: an include across an edge the layering does not have fails to
# compile instead of compiling by accident through a shared src/.
function(velmora_include_root folder variable)
  set(root ${PROJECT_BINARY_DIR}/include_roots/${folder})
  if(NOT IS_SYMLINK ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  set(${variable} ${root} PARENT_SCOPE)
endfunction()

# velmora_library(<folder> SOURCES ... [PUBLIC ...] [PRIVATE ...])
# One static library per source folder, named velmora_<folder>. PUBLIC names
# what the folder's headers include (users see those headers too), PRIVATE
# what only its sources use.
function(velmora_library folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  set(target velmora_${folder})
  add_library(${target} STATIC ${ARG_SOURCES})
  velmora_include_root(${folder} root)
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  velmora_apply_warnings(${target})
endfunction()

# velmora_interface_library(<folder>): a folder of headers only.
function(velmora_interface_library folder)
  add_library(velmora_${folder} INTERFACE)
  velmora_include_root(${folder} root)
  target_include_directories(velmora_${folder} INTERFACE ${root})
endfunction()

# velmora_test(<name> SOURCES ... DEPENDS ... [QT_APPLICATION | WIDGETS] [SLOW] [THREADS])
# One GoogleTest program per source folder, each test case registered with
# CTest. QT_APPLICATION runs the tests inside a QGuiApplication (offscreen),
# which text drawing and Qt's image plugins need; WIDGETS inside a
# QApplication, for the desktop program's windows. Every case gets one label:
# "quick", or "slow" with SLOW (whole DVDs, runs of velmora-cli), followed
# by "-threads" with THREADS for a program whose code runs threads. CTest's
# -L takes a regular expression: `scripts/test -L quick` leaves the slow
# ones out, `-L threads` (what `scripts/test tsan` runs) takes the threaded
# ones. (One label each: a list would not survive test discovery.)
function(velmora_test name)
  cmake_parse_arguments(ARG "QT_APPLICATION;WIDGETS;SLOW;THREADS" "" "SOURCES;DEPENDS" ${ARGN})
  set(label quick)
  if(ARG_SLOW)
    set(label slow)
  endif()
  if(ARG_THREADS)
    string(APPEND label "-threads")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_WIDGETS)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/qt_widgets_gtest_main.cpp)
    target_link_libraries(${name} PRIVATE velmora_image Qt6::Widgets Qt6::Test GTest::gtest GTest::gmock)
  elseif(ARG_QT_APPLICATION)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/qt_gtest_main.cpp)
    target_link_libraries(${name} PRIVATE velmora_image Qt6::Gui GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  velmora_apply_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${label})
endfunction()
