# The Windows build: the same core on the real Win32 platform, for 32-bit
# Windows, with a static run-time so the .exe runs beside the package's
# files with nothing else installed. Included by the top-level CMakeLists
# when the toolchain targets Windows (cmake/mingw-i686.cmake).
enable_language(RC)

add_link_options(-static -static-libgcc -static-libstdc++)

# Windows XP is the oldest system the shops run: the headers declare nothing
# newer, so a call XP lacks does not compile (newer calls are looked up at
# run time, see system_library.h). The Windows checks read the imports.
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501)

# The Win32 adapters.
file(GLOB BREVAK_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cc)
add_library(brevak_win32 STATIC ${BREVAK_WIN32_SOURCES})
target_compile_definitions(brevak_win32 PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
# Only the system's known DLLs are imported: version.dll and comctl32.dll
# are loaded from System32 at run time (system_library.h), so they are not
# linked, and a direct use of them fails to link.
target_link_libraries(brevak_win32 PUBLIC brevak_runtime_error
  advapi32 shell32 ole32 oleaut32 uuid user32 gdi32 kernel32)

# The resource script embeds the icon and the manifest.
set_source_files_properties(src/platform/win32/brevak-upgrade.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/src/platform/win32/brevak-upgrade.ico;${CMAKE_SOURCE_DIR}/src/platform/win32/brevak-upgrade.manifest")

file(GLOB BREVAK_APP_WIN32_SOURCES CONFIGURE_DEPENDS src/app_win32/*.cc)
add_executable(brevak-upgrade WIN32 ${BREVAK_APP_WIN32_SOURCES}
  src/platform/win32/brevak-upgrade.rc)
target_link_options(brevak-upgrade PRIVATE -Wl,--no-insert-timestamp)
target_link_libraries(brevak-upgrade PRIVATE brevak_core brevak_win32 brevak_scripted)

# The programs the Windows checks run under Wine (tests/windows); none of
# them is part of the package. CTest runs them through Wine on the checks'
# prefix, or skips them saying why.
if(BUILD_TESTING)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/tests/windows/run_under_wine.sh" CACHE STRING
    "How the checks run a program of the Windows build")
  # The differential check's program: the registry listing and version records
  # as the Windows platform gives them (tests/differential).
  add_executable(dump-platform tests/differential/dump_platform.cc
    tests/differential/dump_platform_win32.cc)
  target_link_libraries(dump-platform PRIVATE brevak_core brevak_win32 brevak_scripted)

  # The tool with every real service but the database engine (Wine has no
  # Jet provider): the window and the history list are checked with it.
  add_executable(tool-without-engine WIN32 tests/differential/tool_without_engine_win32.cc
    src/platform/win32/brevak-upgrade.rc)
  target_link_options(tool-without-engine PRIVATE -Wl,--no-insert-timestamp)
  target_link_libraries(tool-without-engine PRIVATE brevak_core brevak_win32 brevak_scripted)

  # The adapters against the real calls.
  add_executable(win32-adapter-checks tests/differential/win32_adapter_checks.cc)
  target_link_libraries(win32-adapter-checks PRIVATE brevak_core brevak_win32 brevak_scripted)

  # Holds the one-copy mutex as a copy under another account would: the
  # second copy's check.
  add_executable(hold-foreign-mutex tests/differential/hold_foreign_mutex.cc)
  target_link_libraries(hold-foreign-mutex PRIVATE brevak_win32)

  # The digest bench of the Windows build, run under Wine by
  # bench/digest_bench.sh.
  add_executable(digest-bench bench/digest_bench.cc)
  target_link_libraries(digest-bench PRIVATE brevak_win32)

  # Stands in for a running Brevak.exe: the in-use check.
  add_executable(running-program tests/differential/running_program.cc)

  # Test-only, never shipped: an in-process ADODB.Connection for Wine, which
  # has no Jet provider. It forwards each call to wine-ado-helper, a program
  # of the Linux build (tests/wine_ado). Built into a folder of its own,
  # never beside brevak-upgrade.exe, so that no copy of the build folder's
  # programs carries it.
  add_library(wine-ado-server SHARED tests/wine_ado/ado_server.cc tests/wine_ado/ado_server.def)
  set_target_properties(wine-ado-server PROPERTIES PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-harness
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-harness)
  target_include_directories(wine-ado-server PRIVATE tests)
  target_link_options(wine-ado-server PRIVATE -Wl,--enable-stdcall-fixup)
  target_link_libraries(wine-ado-server PRIVATE ws2_32 ole32 oleaut32 uuid advapi32)

  add_subdirectory(tests/windows)
endif()
