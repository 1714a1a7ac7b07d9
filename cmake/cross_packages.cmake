# Packages for a cross build (the Windows one). Debian ships GoogleTest as
# sources and CLI11 as headers only, but their CMake packages point into the
# build machine's /usr/include, whose C library headers must never reach the
# target's compiler. So GoogleTest is built from its sources for the target,
# each header-only package gets a copy of its own headers in the build
# folder, and find_package() is answered for both from its redirect folder,
# which it searches before anything else.
#
# The target's libraries (libgcrypt and libgpg-error, Debian's
# libgcrypt-mingw-w64-dev) are linked statically like the rest: only their
# archives are looked for, never the import libraries of their DLLs.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)

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

# SQLite: Debian has none built for mingw-w64, so the project compiles the
# single-file source that scripts/windows-sqlite.sh makes from Debian's own
# source package (its version is Debian's), with the options of Debian's
# build that change how a database behaves, and answers find_package(SQLite3).
set(VORSKAL_SQLITE_SOURCE ${CMAKE_BINARY_DIR}/sqlite
    CACHE PATH "SQLite's single-file source for the target (scripts/windows-sqlite.sh makes it)")
if(VORSKAL_LEAGUE)
    if(NOT EXISTS ${VORSKAL_SQLITE_SOURCE}/sqlite3.c)
        message(FATAL_ERROR "No SQLite for the target in ${VORSKAL_SQLITE_SOURCE}: "
            "run scripts/windows-sqlite.sh ${VORSKAL_SQLITE_SOURCE} first "
            "(scripts/windows.sh does), or configure with -DVORSKAL_LEAGUE=OFF")
    endif()
    enable_language(C)
    file(READ ${VORSKAL_SQLITE_SOURCE}/VERSION VORSKAL_SQLITE_VERSION)
    string(STRIP "${VORSKAL_SQLITE_VERSION}" VORSKAL_SQLITE_VERSION)
    message(STATUS "SQLite for the target: Debian's ${VORSKAL_SQLITE_VERSION}")
    add_library(vorskal_sqlite3 STATIC ${VORSKAL_SQLITE_SOURCE}/sqlite3.c)
    target_include_directories(vorskal_sqlite3 SYSTEM PUBLIC ${VORSKAL_SQLITE_SOURCE})
    # -O2: -O3 takes far longer on this one large file for no gain here.
    target_compile_options(vorskal_sqlite3 PRIVATE -O2)
    target_compile_definitions(vorskal_sqlite3 PRIVATE
        SQLITE_THREADSAFE=1 SQLITE_SECURE_DELETE SQLITE_USE_URI=1 SQLITE_MAX_SCHEMA_RETRY=25
        SQLITE_LIKE_DOESNT_MATCH_BLOBS SQLITE_OMIT_LOAD_EXTENSION)
    add_library(SQLite::SQLite3 ALIAS vorskal_sqlite3)
    file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/sqlite3-config.cmake
        "# SQLite is built in this tree from Debian's source: SQLite::SQLite3.\n"
        "set(SQLite3_VERSION \"${VORSKAL_SQLITE_VERSION}\")\n")
    file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/sqlite3-config-version.cmake
        "set(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
endif()
