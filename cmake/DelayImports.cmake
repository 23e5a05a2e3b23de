# kestrel_delay_imports(TARGET dll...)
# Makes TARGET, an interface library of delay-import libraries for the named
# system libraries: the program resolves their functions at the first call
# instead of having the loader search for the libraries before it starts.
# Each is made by binutils' dlltool from the functions that mingw's import
# library of the same name offers.
function(kestrel_delay_imports target)
    add_library(${target} INTERFACE)
    set(dir ${CMAKE_BINARY_DIR}/delay-imports)
    file(MAKE_DIRECTORY ${dir})
    foreach(dll ${ARGN})
        set(import_library ${CMAKE_FIND_ROOT_PATH}/lib/lib${dll}.a)
        execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${import_library}
            OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "${CMAKE_NM} cannot read ${import_library}")
        endif()
        # Each function has its thunk (T); data has only its import pointer.
        string(REGEX MATCHALL "[0-9a-fA-F]+ T [^\r\n]+" thunks "${symbols}")
        set(exports "")
        foreach(thunk ${thunks})
            string(REGEX REPLACE "^[0-9a-fA-F]+ T " "" name "${thunk}")
            if(CMAKE_SIZEOF_VOID_P EQUAL 4)
                # i686 C names carry a leading underscore; stdcall keeps its @N.
                string(REGEX REPLACE "^_" "" name "${name}")
            endif()
            string(APPEND exports "${name}\n")
        endforeach()
        set(def ${dir}/${dll}.def)
        set(library ${dir}/lib${dll}_delayed.a)
        # Written only when it changes, so that an unchanged library keeps its time.
        file(WRITE ${def}.new "LIBRARY \"${dll}.dll\"\nEXPORTS\n${exports}")
        configure_file(${def}.new ${def} COPYONLY)
        if(NOT EXISTS ${library} OR ${def} IS_NEWER_THAN ${library})
            set(kill_at "")
            if(CMAKE_SIZEOF_VOID_P EQUAL 4)
                set(kill_at --kill-at)
            endif()
            execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll}.dll
                    ${kill_at} --output-delaylib ${library}
                RESULT_VARIABLE failed)
            if(failed)
                message(FATAL_ERROR "${CMAKE_DLLTOOL} could not make ${library}")
            endif()
        endif()
        target_link_libraries(${target} INTERFACE ${library})
    endforeach()
endfunction()
