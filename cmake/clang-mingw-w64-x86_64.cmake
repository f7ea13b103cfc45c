# Cross build for 64-bit Windows with Debian's clang, on the MinGW-w64 headers, libraries and
# binutils of the GCC build: a second compiler over the same code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES clang REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES clang++ REQUIRED)
set(CMAKE_C_COMPILER_TARGET ${_triple})
set(CMAKE_CXX_COMPILER_TARGET ${_triple})
find_program(CMAKE_RC_COMPILER NAMES ${_triple}-windres windres REQUIRED)

# The MinGW-w64 tree as the root, so clang does not add the host's /usr/include.
set(CMAKE_SYSROOT /usr/${_triple})

# clang does not read Debian's GCC folder names ("12-posix"): it finds neither libstdc++'s
# headers nor libgcc. Take them from the GCC cross compiler, in the posix flavour the GCC build
# links, and winpthreads, which that flavour of libstdc++ needs, as GCC would add it.
find_program(_gcc NAMES ${_triple}-gcc-posix ${_triple}-gcc REQUIRED)
execute_process(COMMAND ${_gcc} -print-libgcc-file-name
    OUTPUT_VARIABLE _libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(_gcc_dir "${_libgcc}" DIRECTORY)
if(NOT EXISTS "${_gcc_dir}/include/c++/${_triple}")
  message(FATAL_ERROR "no libstdc++ headers for ${_triple} beside ${_libgcc}")
endif()
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${_gcc_dir}/include/c++ ${_gcc_dir}/include/c++/${_triple} ${_gcc_dir}/include/c++/backward)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-L${_gcc_dir} -pthread")

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
