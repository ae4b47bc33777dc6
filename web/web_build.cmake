# The WebAssembly build (emcmake cmake -S . -B build-web -DMARVO_WEB=ON): the game cores, their C
# API and the player page; included by the top-level CMakeLists.txt instead of the desktop build.
if(NOT EMSCRIPTEN)
  message(FATAL_ERROR "MARVO_WEB needs Emscripten: emcmake cmake -S . -B build-web -DMARVO_WEB=ON")
endif()
set(MARVO_GUI OFF)
# Debug information would multiply the size of the .wasm that players download.
if(CMAKE_BUILD_TYPE STREQUAL "RelWithDebInfo")
  set(CMAKE_BUILD_TYPE Release CACHE STRING "" FORCE)
endif()
# WebAssembly's own exceptions: the engine ends runs by throwing, and Emscripten's default
# JavaScript-based exceptions route every call that may throw through JavaScript (half the speed).
add_compile_options(-fwasm-exceptions)
add_link_options(-fwasm-exceptions)
# Emscripten's JavaScript optimizer needs Debian's acorn module, which Node 20 does not find alone.
if(NOT DEFINED ENV{NODE_PATH} AND EXISTS /usr/share/nodejs)
  set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
endif()
enable_testing()
add_subdirectory(engine)
add_subdirectory(game)
add_subdirectory(player)  # its Qt-free part: the menu numbers on offer
add_subdirectory(web)
