# Installs the built library into a scratch prefix, then builds and runs the example host
# against it twice: through find_package(ekcommon) and through pkg-config.
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")

set(flags "")
if(SANITIZE)
  set(flags "-fsanitize=${SANITIZE}")
endif()

# CMake package.
run(${CMAKE_COMMAND} -S "${EXAMPLES_DIR}" -B "${WORK_DIR}/cmake-build" -G "${GENERATOR}"
    "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX}" "-DCMAKE_CXX_FLAGS=${flags}"
    "-DCMAKE_BUILD_RPATH=${prefix}/lib")
run(${CMAKE_COMMAND} --build "${WORK_DIR}/cmake-build")
file(GLOB_RECURSE pc_files "${prefix}/ekcommon.pc")
list(GET pc_files 0 pc_file)
get_filename_component(pcdir "${pc_file}" DIRECTORY)
get_filename_component(libdir "${pcdir}" DIRECTORY)
set(ENV{LD_LIBRARY_PATH} "${libdir}")
run("${WORK_DIR}/cmake-build/names_example")
if(NOT last_output MATCHES "inherit = 820")
  message(FATAL_ERROR "example printed an unexpected result:\n${last_output}")
endif()
run("${WORK_DIR}/cmake-build/values_example")
if(NOT last_output MATCHES "image: /home/user/book/images/figure 1.png\nindent: 42.5197pt\ncolour: #FF8000")
  message(FATAL_ERROR "values example printed an unexpected result:\n${last_output}")
endif()
run("${WORK_DIR}/cmake-build/archive_example")
if(NOT last_output MATCHES "chapter1.fo: <fo:root/>")
  message(FATAL_ERROR "archive example printed an unexpected result:\n${last_output}")
endif()

# pkg-config.
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} "${pcdir}")
run(${PKG_CONFIG} --cflags --libs ekcommon)
string(STRIP "${last_output}" pc_flags)
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
separate_arguments(extra UNIX_COMMAND "${flags}")
run("${CXX}" -std=c++17 ${extra} "${EXAMPLES_DIR}/names_example.cpp" -o "${WORK_DIR}/pc_example" ${pc_flags})
run("${WORK_DIR}/pc_example")
if(NOT last_output MATCHES "inherit = 820")
  message(FATAL_ERROR "pkg-config example printed an unexpected result:\n${last_output}")
endif()
message(STATUS "installed package works through CMake and pkg-config")
