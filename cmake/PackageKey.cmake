# kestrel_package_key_source(PEM OUTPUT)
# Adds a build step that writes OUTPUT, a C++ source defining
# CompiledPackageKey() (app/package_key.h) as the ECDSA P-256 public key in
# the PEM file. openssl reads the key at build time; a file that holds no
# P-256 public key fails the build.
function(kestrel_package_key_source pem output)
    find_program(KESTREL_OPENSSL openssl REQUIRED)
    set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/package_key_source.cmake)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DOPENSSL=${KESTREL_OPENSSL} -DPEM=${pem} -DOUTPUT=${output}
                -P ${script}
        DEPENDS ${pem} ${script}
        COMMENT "Compiling in the package key ${pem}"
        VERBATIM)
endfunction()
