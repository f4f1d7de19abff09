# What the Windows cross build takes in place of the Debian development packages: Nettle's
# MD5 and ARCFOUR compiled from its Debian source (scripts/windows-sources.sh unpacks it),
# libsodium built for MinGW from its Debian source (by the same script) and GoogleTest from the sources of Debian's googletest package. The engine reaches the
# registry and the URL cache through the platform's own services there, so SQLite stays
# out of the Windows build.
if(HUSHVAULT_BUILD_GUI)
  message(FATAL_ERROR "There is no MinGW build of Qt 6 here: configure the Windows build "
                      "with -DHUSHVAULT_BUILD_GUI=OFF (README: building the window on Windows).")
endif()

enable_language(C)

file(GLOB _hushvault_nettle_candidates LIST_DIRECTORIES true
     /usr/local/src/hushvault-windows/nettle-*)
list(SORT _hushvault_nettle_candidates)
list(POP_BACK _hushvault_nettle_candidates _hushvault_nettle_default)
set(HUSHVAULT_NETTLE_SOURCE_DIR "${_hushvault_nettle_default}"
    CACHE PATH "Unpacked Nettle sources for the Windows build")
if(NOT EXISTS "${HUSHVAULT_NETTLE_SOURCE_DIR}/md5.c")
  message(FATAL_ERROR "Nettle sources not found; run scripts/windows-sources.sh "
                      "or set HUSHVAULT_NETTLE_SOURCE_DIR.")
endif()

# The engine includes <nettle/...>; give it those headers under that name.
set(_hushvault_nettle_include ${CMAKE_BINARY_DIR}/windows-deps/include)
foreach(header md5.h arcfour.h nettle-types.h macros.h memops.h)
  configure_file(${HUSHVAULT_NETTLE_SOURCE_DIR}/${header}
                 ${_hushvault_nettle_include}/nettle/${header} COPYONLY)
endforeach()

add_library(hushvault_nettle STATIC
  ${HUSHVAULT_NETTLE_SOURCE_DIR}/arcfour.c
  ${HUSHVAULT_NETTLE_SOURCE_DIR}/arcfour-crypt.c
  ${HUSHVAULT_NETTLE_SOURCE_DIR}/md5.c
  ${HUSHVAULT_NETTLE_SOURCE_DIR}/md5-compress.c
  ${HUSHVAULT_NETTLE_SOURCE_DIR}/write-le32.c)
target_include_directories(hushvault_nettle PRIVATE ${HUSHVAULT_NETTLE_SOURCE_DIR})
target_include_directories(hushvault_nettle SYSTEM INTERFACE ${_hushvault_nettle_include})

# The same target names as the pkg-config build, so that the subsystems link unchanged.
add_library(PkgConfig::NETTLE INTERFACE IMPORTED)
target_link_libraries(PkgConfig::NETTLE INTERFACE hushvault_nettle)
add_library(PkgConfig::SQLITE3 INTERFACE IMPORTED)

set(HUSHVAULT_SODIUM_PREFIX /usr/local/src/hushvault-windows/libsodium-mingw
    CACHE PATH "libsodium built for the Windows build")
if(NOT EXISTS "${HUSHVAULT_SODIUM_PREFIX}/lib/libsodium.a")
  message(FATAL_ERROR "libsodium for MinGW not found; run scripts/windows-sources.sh "
                      "or set HUSHVAULT_SODIUM_PREFIX.")
endif()
add_library(PkgConfig::SODIUM INTERFACE IMPORTED)
target_include_directories(PkgConfig::SODIUM SYSTEM INTERFACE ${HUSHVAULT_SODIUM_PREFIX}/include)
target_link_libraries(PkgConfig::SODIUM INTERFACE ${HUSHVAULT_SODIUM_PREFIX}/lib/libsodium.a)
# Linked statically: without this its header declares every function imported from a DLL.
target_compile_definitions(PkgConfig::SODIUM INTERFACE SODIUM_STATIC)

if(HUSHVAULT_BUILD_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  # Defines GTest::gtest like the installed package does.
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# Test programs are listed when ctest runs, through Wine, rather than after each link, so
# that building needs no Wine prefix.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
