# Every target of the project links vorskal_warnings; sanitizers ride along
# when VORSKAL_SANITIZE is on, so tests and the programs are built alike.
add_library(vorskal_warnings INTERFACE)
target_compile_options(vorskal_warnings INTERFACE -Wall -Wextra -Wpedantic)
# GCC 12 warns wrongly about overlapping copies inside std::string's
# operator+ at -O2 and above (a known false positive of its -Wrestrict).
target_compile_options(vorskal_warnings INTERFACE $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
if(VORSKAL_WERROR)
    target_compile_options(vorskal_warnings INTERFACE -Werror)
endif()

# The engine's libraries are held to more: no shadowed names, no silent
# narrowing or sign change, no C casts.
add_library(vorskal_engine_warnings INTERFACE)
target_compile_options(vorskal_engine_warnings INTERFACE
    -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast)

add_library(vorskal_sanitizers INTERFACE)
if(VORSKAL_SANITIZE)
    target_compile_options(vorskal_sanitizers INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(vorskal_sanitizers INTERFACE -fsanitize=address,undefined)
endif()
# ThreadSanitizer (it cannot be combined with AddressSanitizer): the merge's
# writer and, with an output that needs it, the hash of the game's
# fingerprint run on threads of their own.
if(VORSKAL_SANITIZE_THREADS)
    target_compile_options(vorskal_sanitizers INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(vorskal_sanitizers INTERFACE -fsanitize=thread)
endif()

# Fuzzing: coverage for libFuzzer in every target, with the sanitizers.
if(VORSKAL_FUZZ)
    target_compile_options(vorskal_sanitizers INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
    target_link_options(vorskal_sanitizers INTERFACE -fsanitize=address,undefined)
endif()

add_library(vorskal_flags INTERFACE)
target_link_libraries(vorskal_flags INTERFACE vorskal_warnings vorskal_sanitizers)
