# Per-target settings: warnings everywhere (errors with ZARN_WERROR), sanitizers only where
# asked for.

function(zarn_target_settings target)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
        if(ZARN_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    endif()
    if(ZARN_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined
                                                 -fno-sanitize-recover=undefined
                                                 -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
endfunction()

# Collects the sources of one folder, so that adding a file needs no CMake edit.
function(zarn_glob_sources out dir)
    file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp)
    set(${out} ${_src} PARENT_SCOPE)
endfunction()
