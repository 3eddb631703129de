# One include compiled with the include path of a library's own sources:
#   cmake -DCXX=... -DINCLUDES=dir|dir|... [-DIMPLICIT=dir|...] -DHEADER=model/X.h|<QImage>
#         -DEXPECT=compiles|missing -DWORK=folder -P probe.cmake
# "missing" passes only when the compiler stops because it cannot find that
# header, so that a probe broken in any other way does not pass.
cmake_minimum_required(VERSION 3.25)

if(HEADER MATCHES "^<")
  set(line "#include ${HEADER}")
else()
  set(line "#include \"${HEADER}\"")
endif()
string(MAKE_C_IDENTIFIER "${HEADER}" name)
file(MAKE_DIRECTORY ${WORK})
set(source ${WORK}/${name}.cpp)
file(WRITE ${source} "${line}\n")

string(REPLACE "|" ";" includes "${INCLUDES}")
string(REPLACE "|" ";" implicit "${IMPLICIT}")
set(flags)
foreach(folder IN LISTS includes)
  if(NOT folder IN_LIST implicit)
    list(APPEND flags -I${folder})
  endif()
endforeach()

execute_process(COMMAND ${CXX} -std=c++17 -fsyntax-only ${flags} ${source}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
string(REGEX REPLACE "^<(.*)>$" "\\1" file "${HEADER}")
if(EXPECT STREQUAL "compiles")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${line} should compile here, but:\n${output}")
  endif()
elseif(EXPECT STREQUAL "missing")
  if(status EQUAL 0)
    message(FATAL_ERROR "${line} compiles here, but this library may not use it")
  endif()
  # gcc: "X.h: No such file or directory", clang: "'X.h' file not found";
  # a header that is found but misses one of its own does not count.
  string(REPLACE "." "\\." pattern "${file}")
  if(NOT output MATCHES "(: |')${pattern}('?: No such file or directory|' file not found)")
    message(FATAL_ERROR "${line} fails for another reason than a missing header:\n${output}")
  endif()
  message(STATUS "${line}: not found, as it should be")
else()
  message(FATAL_ERROR "EXPECT must be compiles or missing, not '${EXPECT}'")
endif()
