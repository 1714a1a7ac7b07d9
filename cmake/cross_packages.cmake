# Packages for a cross build (the Windows one). Debian ships GoogleTest as
# sources and CLI11 as headers only, but their CMake packages point into the
# build machine's /usr/include, whose C library headers must never reach the
# target's compiler. So GoogleTest is built from its sources for the target,
# each header-only package gets a copy of its own headers in the build
# folder, and find_package() is answered for both from its redirect folder,
# which it searches before anything else.

set(VORSKAL_GTEST_SOURCE /usr/src/googletest
    CACHE PATH "GoogleTest's sources, built for the target (Debian's googletest package)")

# A header-only package: the headers under /usr/include/<subdir> copied into
# the build folder, and the imported target `target` that find_package(name)
# then finds.
function(vorskal_cross_header_package name target subdir)
    set(source /usr/include/${subdir})
    if(NOT EXISTS ${source})
        return()  # not installed: find_package(name) fails as it would anyway
    endif()
    set(root ${CMAKE_BINARY_DIR}/cross-include)
    file(COPY ${source} DESTINATION ${root}/${name})
    string(TOLOWER ${name} lower)
    file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${lower}-config.cmake
        "if(NOT TARGET ${target})\n"
        "    add_library(${target} INTERFACE IMPORTED)\n"
        "    set_target_properties(${target} PROPERTIES\n"
        "        INTERFACE_INCLUDE_DIRECTORIES \"${root}/${name}\")\n"
        "endif()\n")
    file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${lower}-config-version.cmake
        "set(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
endfunction()

vorskal_cross_header_package(CLI11 CLI11::CLI11 CLI)
vorskal_cross_header_package(nlohmann_json nlohmann_json::nlohmann_json nlohmann)

if(VORSKAL_TESTS)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${VORSKAL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config.cmake
        "# GoogleTest is built in this tree: GTest::gtest and GTest::gtest_main.\n")
    file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config-version.cmake
        "set(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
endif()
