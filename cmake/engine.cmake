# Targets shared by every subsystem folder.
#
#   bp_core             portable code that never touches a pixel: module loader,
#                       replayer, sound loops, frame clock, window messages
#   bp_engine_rgb/pal   everything that knows the pixel format, compiled once per
#                       program with BP_PIXEL_PAL set to 0 or 1
#   bp_platform_virtual the deterministic platform (tests, capture)
#   bp_platform_sdl     the SDL2 desktop platform
#   bp_platform_win32   Windows: Win32, DirectDraw 7, DirectSound 8
#   bp_platform_web     the browser: canvas, Web Audio, Asyncify (Emscripten)
#   bp_assets_data      the embedded bytes of assets/data
#
# A subsystem folder adds its files with bp_core_sources, bp_engine_sources
# and bp_platform_sources, so nobody edits this file to add a source.

add_library(bp_core STATIC)
target_include_directories(bp_core PUBLIC ${PROJECT_SOURCE_DIR})

foreach(fmt rgb pal)
  add_library(bp_engine_${fmt} STATIC)
  target_include_directories(bp_engine_${fmt} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(bp_engine_${fmt} PUBLIC bp_core bp_assets_data)
endforeach()
target_compile_definitions(bp_engine_rgb PUBLIC BP_PIXEL_PAL=0)
target_compile_definitions(bp_engine_pal PUBLIC BP_PIXEL_PAL=1)

add_library(bp_platform_virtual STATIC)
target_include_directories(bp_platform_virtual PUBLIC ${PROJECT_SOURCE_DIR})

if(BP_WITH_SDL)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
  add_library(bp_platform_sdl STATIC)
  target_include_directories(bp_platform_sdl PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(bp_platform_sdl PUBLIC PkgConfig::SDL2)
endif()

if(BP_WITH_WIN32)
  add_library(bp_platform_win32 STATIC)
  target_include_directories(bp_platform_win32 PUBLIC ${PROJECT_SOURCE_DIR})
  # winmm: the timer period.
  target_link_libraries(bp_platform_win32 PUBLIC ddraw dsound winmm)
endif()

if(BP_WITH_WEB)
  add_library(bp_platform_web STATIC)
  target_include_directories(bp_platform_web PUBLIC ${PROJECT_SOURCE_DIR})
endif()

find_package(Threads REQUIRED)
target_link_libraries(bp_core PUBLIC Threads::Threads)

# bp_core_sources(a.cpp ...)
function(bp_core_sources)
  target_sources(bp_core PRIVATE ${ARGN})
endfunction()

# bp_engine_sources([COMMON files...] [RGB files...] [PAL files...])
# COMMON files are compiled into both programs' engines, RGB and PAL into one.
# RGB and PAL are for files wholly of one format (*_rgb.cpp, *_pal.cpp: the
# span fillers); a COMMON file whose work differs by format keeps the
# difference in one section marked "Pixel format".
function(bp_engine_sources)
  cmake_parse_arguments(ARG "" "" "COMMON;RGB;PAL" ${ARGN})
  target_sources(bp_engine_rgb PRIVATE ${ARG_COMMON} ${ARG_RGB})
  target_sources(bp_engine_pal PRIVATE ${ARG_COMMON} ${ARG_PAL})
endfunction()

# bp_platform_sources([VIRTUAL files...] [SDL files...] [WIN32 files...] [WEB files...])
function(bp_platform_sources)
  cmake_parse_arguments(ARG "" "" "VIRTUAL;SDL;WIN32;WEB" ${ARGN})
  target_sources(bp_platform_virtual PRIVATE ${ARG_VIRTUAL})
  if(BP_WITH_SDL)
    target_sources(bp_platform_sdl PRIVATE ${ARG_SDL})
  endif()
  if(BP_WITH_WIN32)
    target_sources(bp_platform_win32 PRIVATE ${ARG_WIN32})
  endif()
  if(BP_WITH_WEB)
    target_sources(bp_platform_web PRIVATE ${ARG_WEB})
  endif()
endfunction()

# bp_add_test(name SOURCES files... [LIBS targets...] [LABELS labels...])
# One GoogleTest executable, registered with CTest test by test.
function(bp_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${ARG_LABELS}")
endfunction()

# Subfolders of tools/, tests/ and bench/ that hold a CMakeLists.txt join the
# build by themselves.
function(bp_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# bp_link_platform(target rgb|pal virtual|sdl|win32|web)
# Links a program or test against one pixel format's engine and one platform.
# The portable core calls into the platform (counter, window queue), so the
# platform library must follow the core on the link line.
function(bp_link_platform target format platform)
  target_link_libraries(${target} PRIVATE bp_engine_${format} bp_core bp_platform_${platform})
endfunction()

# bp_web_program(target)
# A program of the web page: written beside index.html in the build folder,
# for browsers only, its memory growing as the preparation needs.
function(bp_web_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  target_link_options(${target} PRIVATE -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1)
endfunction()
