# The WebAssembly build (an `emcmake cmake` folder): the toolkit-free rooms, vtq-cli as a
# node program and the web page's module. No Qt, no tests or benchmarks of its own: the
# native build's tests run these programs under node and Chromium.
set(VTQ_BUILD_TESTS OFF CACHE BOOL "Build the tests" FORCE)
set(VTQ_BUILD_BENCH OFF CACHE BOOL "Build the benchmarks" FORCE)

# The calculation's skip-on-failure rule and the command line's parser throw: native
# WebAssembly exceptions, far cheaper than the JavaScript emulation.
add_compile_options(-fwasm-exceptions)
add_link_options(-fwasm-exceptions -sALLOW_MEMORY_GROWTH=1)
# Link-time optimisation: the engine's small helpers (number texts, table look-ups) sit in
# other files than their callers and are only inlined across them here; an automatic
# design takes about 12 % less time with it.
add_compile_options(-flto)
add_link_options(-flto)
# emcc's JavaScript optimizer needs Debian's acorn, which node only finds through NODE_PATH.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

# CLI11 and nlohmann-json are header-only: their headers alone are staged for the cross
# build, since adding all of /usr/include would put the host's C library before the
# toolchain's. A config file beside them makes find_package take the staged copy.
set(VTQ_WASM_DEPS ${CMAKE_BINARY_DIR}/wasm-deps)
foreach(dep CLI11:CLI nlohmann_json:nlohmann)
  string(REPLACE ":" ";" parts ${dep})
  list(GET parts 0 package)
  list(GET parts 1 folder)
  file(MAKE_DIRECTORY ${VTQ_WASM_DEPS}/include)
  file(CREATE_LINK /usr/include/${folder} ${VTQ_WASM_DEPS}/include/${folder} SYMBOLIC)
  file(WRITE ${VTQ_WASM_DEPS}/${package}/${package}Config.cmake
       "if(NOT TARGET ${package}::${package})\n"
       "  add_library(${package}::${package} INTERFACE IMPORTED)\n"
       "  set_target_properties(${package}::${package} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${VTQ_WASM_DEPS}/include)\n"
       "endif()\n")
  file(WRITE ${VTQ_WASM_DEPS}/${package}/${package}ConfigVersion.cmake
       "set(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
  set(${package}_DIR ${VTQ_WASM_DEPS}/${package} CACHE PATH "" FORCE)
endforeach()
