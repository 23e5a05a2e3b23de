# Warnings for our own targets only; third-party code keeps its own.
function(kestrel_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter
            -Wno-missing-field-initializers -Wno-cast-function-type)
    endif()
endfunction()
