# Third-party libraries: JsonCpp, 7-Zip and libzstd built from Debian's
# source packages (fetched by scripts/setup), zlib and GoogleTest from Debian's
# binary packages.

function(kestrel_find_source out pattern what)
    file(GLOB found LIST_DIRECTORIES true "${KESTREL_THIRD_PARTY_DIR}/${pattern}")
    if(NOT found)
        message(FATAL_ERROR "${what} sources not found under ${KESTREL_THIRD_PARTY_DIR}; run scripts/setup")
    endif()
    list(SORT found)
    list(GET found -1 dir)
    set(${out} ${dir} PARENT_SCOPE)
endfunction()

# kestrel_patched_copy(OUT NAME SOURCE_DIR PATCHES patch... FOLDERS folder...)
# Copies FOLDERS of the source package in SOURCE_DIR into the build tree
# and applies our PATCHES there, setting OUT to the copy: the fetched
# sources stay as Debian ships them, and changed patches apply to a fresh copy.
function(kestrel_patched_copy out name source_dir)
    cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "PATCHES;FOLDERS")
    set(copy ${CMAKE_BINARY_DIR}/patched/${name})
    set(stamp ${source_dir})
    foreach(patch ${arg_PATCHES})
        file(SHA256 ${patch} patch_hash)
        string(APPEND stamp " ${patch_hash}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${patch})
    endforeach()
    set(old_stamp "")
    if(EXISTS ${copy}.stamp)
        file(READ ${copy}.stamp old_stamp)
    endif()
    if(NOT old_stamp STREQUAL stamp)
        file(REMOVE_RECURSE ${copy} ${copy}.stamp)
        foreach(folder ${arg_FOLDERS})
            file(COPY ${source_dir}/${folder} DESTINATION ${copy})
        endforeach()
        foreach(patch ${arg_PATCHES})
            execute_process(COMMAND patch -p1 --quiet --forward -i ${patch}
                WORKING_DIRECTORY ${copy} RESULT_VARIABLE failed
                OUTPUT_VARIABLE output ERROR_VARIABLE output)
            if(failed)
                message(FATAL_ERROR "${patch} does not apply to ${source_dir}:\n${output}")
            endif()
        endforeach()
        file(WRITE ${copy}.stamp ${stamp})
    endif()
    set(${out} ${copy} PARENT_SCOPE)
endfunction()

# JsonCpp, without the C++ streams (see the patch for why).
kestrel_find_source(JSONCPP_SOURCE "libjsoncpp-*" "JsonCpp")
kestrel_patched_copy(JSONCPP_DIR jsoncpp ${JSONCPP_SOURCE}
    PATCHES ${CMAKE_SOURCE_DIR}/cmake/patches/jsoncpp-no-streams.patch
    FOLDERS include src)
add_library(jsoncpp STATIC
    ${JSONCPP_DIR}/src/lib_json/json_reader.cpp
    ${JSONCPP_DIR}/src/lib_json/json_value.cpp
    ${JSONCPP_DIR}/src/lib_json/json_writer.cpp)
target_include_directories(jsoncpp SYSTEM PUBLIC ${JSONCPP_DIR}/include)
target_include_directories(jsoncpp PRIVATE ${JSONCPP_DIR}/src/lib_json)
# Parsing two small answers is not hot: optimise for size (about -120 KB on i686).
# JsonCpp includes <iostream> without using the standard streams; defining
# its include guard keeps out their start-up object, which alone links in
# the file and console streams (about -85 KB).
target_compile_options(jsoncpp PRIVATE -Os)
target_compile_definitions(jsoncpp PRIVATE _GLIBCXX_IOSTREAM)
target_compile_definitions(jsoncpp PUBLIC JSONCPP_NO_STREAMS)

# 7-Zip: the readers for 7z, zip, cab, lzma and lzma86, linked whole so that
# the formats' static registration objects survive the link. Kestrel only
# extracts: 7-Zip's extract-only build, with the zip handler patched to
# honour it, leaves out the archive writers and every encoder.
kestrel_find_source(SEVENZIP_SOURCE "7zip-*" "7-Zip")
kestrel_patched_copy(SEVENZIP_DIR 7zip ${SEVENZIP_SOURCE}
    PATCHES ${CMAKE_SOURCE_DIR}/cmake/patches/7zip-zip-extract-only.patch
            ${CMAKE_SOURCE_DIR}/cmake/patches/7zip-alloc-limit.patch
    FOLDERS C CPP)
file(STRINGS ${CMAKE_SOURCE_DIR}/cmake/sevenzip-sources.txt SEVENZIP_FILES REGEX "^[^#]")
list(TRANSFORM SEVENZIP_FILES PREPEND ${SEVENZIP_DIR}/)
add_library(sevenzip STATIC ${SEVENZIP_FILES})
target_compile_definitions(sevenzip PRIVATE NDEBUG _REENTRANT)
target_compile_definitions(sevenzip PUBLIC Z7_EXTRACT_ONLY)
# No decoder may take more than a 64 MiB dictionary (plus its allocator's
# few bytes of alignment): a package that needs more is refused.
set_source_files_properties(${SEVENZIP_DIR}/C/Alloc.c PROPERTIES COMPILE_DEFINITIONS Z7_ALLOC_MAX=0x4010000)
# Only extraction's inner loops are hot, so the library is optimised for
# size and those loops keep -O2: LZMA/LZMA2 and Deflate decoding, CRC, the
# branch filters and AES.
target_compile_options(sevenzip PRIVATE -Os -w)
set(SEVENZIP_HOT_FILES C/LzmaDec.c C/Lzma2Dec.c C/7zCrc.c C/7zCrcOpt.c C/Bra.c C/Bra86.c
    C/Aes.c C/AesOpt.c CPP/7zip/Compress/DeflateDecoder.cpp CPP/7zip/Compress/LzOutWindow.cpp)
list(TRANSFORM SEVENZIP_HOT_FILES PREPEND ${SEVENZIP_DIR}/)
set_source_files_properties(${SEVENZIP_HOT_FILES} PROPERTIES COMPILE_OPTIONS -O2)
# No C++ exception passes through 7-Zip's C code (its callbacks into C++ are
# throw() wrappers), so on i686 its C files need no unwind tables (about -21 KB);
# x86_64 keeps them, as Windows' own stack walks there rely on them.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_compile_options(sevenzip PRIVATE $<$<COMPILE_LANGUAGE:C>:-fno-asynchronous-unwind-tables>)
endif()
# No -ffunction-sections/--gc-sections: on i686 the PE linker script keeps
# every .eh_frame, whose entries reference every function, so nothing is
# collected and the per-function alignment makes Kestrel.exe 33 KB larger.
target_include_directories(sevenzip SYSTEM PUBLIC ${SEVENZIP_DIR}/CPP ${SEVENZIP_DIR})
target_link_libraries(sevenzip PUBLIC oleaut32 ole32 uuid)
set(SEVENZIP_SOURCE_DIR ${SEVENZIP_SOURCE} CACHE INTERNAL "")

add_library(sevenzip_whole INTERFACE)
target_link_libraries(sevenzip_whole INTERFACE "$<LINK_LIBRARY:WHOLE_ARCHIVE,sevenzip>")
target_include_directories(sevenzip_whole SYSTEM INTERFACE ${SEVENZIP_DIR}/CPP ${SEVENZIP_DIR})

# libzstd: Kestrel only applies patches, so only the decoder is built.
# The hand-written amd64 Huffman loops use the System V calling convention,
# which Windows does not have; the C loops take their place.
kestrel_find_source(ZSTD_SOURCE "libzstd-*" "libzstd")
set(ZSTD_LIB ${ZSTD_SOURCE}/lib)
set(ZSTD_OPTIONS ZSTD_DISABLE_ASM ZSTD_LEGACY_SUPPORT=0 ZSTD_NO_TRACE)
add_library(zstd_decoder STATIC
    ${ZSTD_LIB}/common/debug.c
    ${ZSTD_LIB}/common/entropy_common.c
    ${ZSTD_LIB}/common/error_private.c
    ${ZSTD_LIB}/common/fse_decompress.c
    ${ZSTD_LIB}/common/xxhash.c
    ${ZSTD_LIB}/common/zstd_common.c
    ${ZSTD_LIB}/decompress/huf_decompress.c
    ${ZSTD_LIB}/decompress/zstd_ddict.c
    ${ZSTD_LIB}/decompress/zstd_decompress.c
    ${ZSTD_LIB}/decompress/zstd_decompress_block.c)
target_compile_definitions(zstd_decoder PRIVATE ${ZSTD_OPTIONS})
# Only the block and Huffman decoding loops are hot: the rest is set-up,
# built for size. Pure C called by the delta decoder and calling nothing
# back, so on i686 it needs no unwind tables either.
target_compile_options(zstd_decoder PRIVATE -Os -w)
set_source_files_properties(${ZSTD_LIB}/decompress/huf_decompress.c ${ZSTD_LIB}/decompress/zstd_decompress_block.c
    PROPERTIES COMPILE_OPTIONS -O2)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_compile_options(zstd_decoder PRIVATE -fno-asynchronous-unwind-tables)
endif()
target_include_directories(zstd_decoder SYSTEM PUBLIC ${ZSTD_LIB})
set(ZSTD_LIB_DIR ${ZSTD_LIB} CACHE INTERNAL "")
set(ZSTD_BUILD_OPTIONS ${ZSTD_OPTIONS} CACHE INTERNAL "")

# zlib from libz-mingw-w64-dev
find_library(ZLIB_STATIC NAMES libz.a z REQUIRED)
find_path(ZLIB_INCLUDE zlib.h REQUIRED)
add_library(zlib_static INTERFACE)
target_link_libraries(zlib_static INTERFACE ${ZLIB_STATIC})
target_include_directories(zlib_static SYSTEM INTERFACE ${ZLIB_INCLUDE})

# stb_image from libstb-dev (header only)
add_library(stb_image INTERFACE)
target_include_directories(stb_image SYSTEM INTERFACE /usr/include/stb)

# GoogleTest from the googletest package's sources
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
