# The Windows build: MinGW-w64 against the Windows SDK (Qt, pugixml, libcsv, GoogleTest), made
# by ./dev windows. The test programs run under Wine through the emulator script wine-run of the
# build folder, and are listed by ctest when it runs them (Wine stays out of the build).

enable_language(RC)

set(TESSARO_WINDOWS_SDK "${QT6_INSTALL_PREFIX}")
get_filename_component(TESSARO_WINDOWS_SDK "${TESSARO_WINDOWS_SDK}" ABSOLUTE)
set(TESSARO_WINEPREFIX "${CMAKE_BINARY_DIR}/wine-prefix" CACHE PATH
    "The Wine prefix of the tests, made at their first run")

if(CMAKE_CROSSCOMPILING)
    configure_file(${PROJECT_SOURCE_DIR}/tools/windows/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
        @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
        WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run --ctest)
    set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
endif()

# tessaro_windows_resource(TARGET DESCRIPTION): the version resource (product, company, version)
# and the program's icon.
function(tessaro_windows_resource target description)
    set(TESSARO_RC_NAME ${target})
    set(TESSARO_RC_FILE_NAME ${target}.exe)
    set(TESSARO_RC_DESCRIPTION "${description}")
    set(TESSARO_RC_ICON ${PROJECT_SOURCE_DIR}/packaging/icons/tessaro.ico)
    # 1.001: the numbers of the binary version are 1 and 1.
    math(EXPR PROJECT_VERSION_MAJOR "${PROJECT_VERSION_MAJOR}")
    math(EXPR PROJECT_VERSION_MINOR "${PROJECT_VERSION_MINOR}")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
