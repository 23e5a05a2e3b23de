# ui/core builds on the control base, and knows of ui/controls only the
# headers listed here; everything else of the controls stays behind them.
# Run as: cmake -DSOURCE_DIR=<repository> -P check_core_includes.cmake
cmake_minimum_required(VERSION 3.25)

set(allowed control.h image_spec.h render_kit.h)

# Globbed, not listed: a file added to ui/core later is held to the rule too.
file(GLOB_RECURSE core_files ${SOURCE_DIR}/ui/core/*.h ${SOURCE_DIR}/ui/core/*.cpp)
if(NOT core_files)
    message(FATAL_ERROR "no sources found under ${SOURCE_DIR}/ui/core")
endif()

set(violations "")
foreach(file IN LISTS core_files)
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][^>\"]*controls/")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^.*controls/([^>\"]*)[>\"].*$" "\\1" header "${line}")
        if(NOT header IN_LIST allowed)
            file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
            string(APPEND violations "\n  ${shown}: ${line}")
        endif()
    endforeach()
endforeach()

if(violations)
    list(JOIN allowed ", " allowed_text)
    message(FATAL_ERROR "ui/core may include only ${allowed_text} from ui/controls:${violations}")
endif()
list(LENGTH core_files count)
message(STATUS "${count} ui/core files include no other ui/controls header")
