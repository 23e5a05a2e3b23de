# cmake -DOPENSSL=... -DPEM=key.pem -DOUTPUT=key.cpp -P package_key_source.cmake
# Writes the source of CompiledPackageKey() from a PEM ECDSA P-256 public key.
# openssl rewrites the key as SubjectPublicKeyInfo with the named curve and
# the uncompressed point, so every spelling of a P-256 key ends in the same
# 91 bytes: a fixed header naming id-ecPublicKey and prime256v1, 0x04, X, Y.
set(header "3059301306072a8648ce3d020106082a8648ce3d03010703420004")

execute_process(
    COMMAND ${OPENSSL} ec -pubin -in ${PEM} -outform DER -conv_form uncompressed
            -param_enc named_curve -out ${OUTPUT}.der
    RESULT_VARIABLE result
    ERROR_VARIABLE error)
if(NOT result EQUAL 0)
    file(REMOVE ${OUTPUT}.der)
    message(FATAL_ERROR "${PEM} holds no EC public key that openssl can read:\n${error}")
endif()
file(READ ${OUTPUT}.der der HEX)
file(REMOVE ${OUTPUT}.der)

string(LENGTH "${der}" length)
string(FIND "${der}" "${header}" at)
if(NOT length EQUAL 182 OR NOT at EQUAL 0)
    message(FATAL_ERROR "${PEM} is not an ECDSA P-256 (prime256v1) public key")
endif()
# Four lines of 16 bytes.
set(bytes "")
foreach(offset 54 86 118 150)
    string(SUBSTRING "${der}" ${offset} 32 line)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1, " line "${line}")
    string(STRIP "${line}" line)
    string(APPEND bytes "        ${line}\n")
endforeach()

get_filename_component(name ${PEM} NAME)
file(WRITE ${OUTPUT} "#include \"app/package_key.h\"

// Generated at build time from ${name}.
const unsigned char* CompiledPackageKey()
{
    static const unsigned char point[kPackageKeyBytes] = {
${bytes}    };
    return point;
}
")
