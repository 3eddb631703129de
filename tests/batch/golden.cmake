# Runs quillmere-batch on every case of golden-cases.cmake and compares its
# stdout, stderr and exit status byte for byte with expected/NAME.txt. With
# QUILLMERE_UPDATE_GOLDEN=1 in the environment it rewrites those files instead.
#   cmake -DBATCH=... -DSAMPLEGEN=... -DSAMPLE=.../cup.tfc -DWORK=DIR [-DDRAWS=1] -P golden.cmake
# DRAWS runs the cases that draw pictures.
cmake_minimum_required(VERSION 3.16)

set(EXPECTED ${CMAKE_CURRENT_LIST_DIR}/expected)
get_filename_component(SAMPLE_DIR "${SAMPLE}" DIRECTORY)
set(UPDATE "$ENV{QUILLMERE_UPDATE_GOLDEN}")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/actual")
if(UPDATE)
  file(GLOB stale "${EXPECTED}/*.txt")
  if(stale)
    file(REMOVE ${stale})
  endif()
endif()

# A small cup project WORK/FOLDER/cup.tfc: 20 nodes, 24 elements, N records.
function(cup_project folder records)
  execute_process(COMMAND "${SAMPLEGEN}" cup "${WORK}/${folder}" --cells 4 3 --records ${records}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the sample writer cannot write ${folder}")
  endif()
endfunction()

# A configuration home of its own whose file holds TEXT; later cases use it.
function(configuration name text)
  set(home "${WORK}/${name}")
  if(text)
    file(WRITE "${home}/Veltrane/Quillmere/Quillmere.cfg" "${text}")
  endif()
  set(ENV{XDG_CONFIG_HOME} "${home}")
endfunction()

# golden(NAME ARGUMENTS...): @work@ and @sample@ in an argument stand for the
# work folder and the bundled sample project. Both are written as <work> and
# <sample> in the outputs, which hold no other path of the build machine.
function(golden name)
  set(arguments "")
  foreach(argument IN LISTS ARGN)
    string(REPLACE "@work@" "${WORK}" argument "${argument}")
    string(REPLACE "@sample@" "${SAMPLE}" argument "${argument}")
    list(APPEND arguments "${argument}")
  endforeach()
  execute_process(COMMAND "${BATCH}" ${arguments} WORKING_DIRECTORY "${WORK}"
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  list(JOIN ARGN " " line)
  set(text "$ quillmere-batch ${line}\nstatus ${status}\n--- stdout\n${out}\n--- stderr\n${err}")
  string(REPLACE "${WORK}" "<work>" text "${text}")
  string(REPLACE "${SAMPLE_DIR}" "<sample>" text "${text}")
  compare(${name} "${text}")
endfunction()

# golden_file(NAME PATH): the file a case before has written, in the work folder.
function(golden_file name path)
  file(READ "${WORK}/${path}" text)
  string(REPLACE "${WORK}" "<work>" text "${text}")
  compare(${name} "$ cat ${path}\n${text}")
endfunction()

# identical(NAME A B): two files the cases before have written hold the same bytes.
function(identical name a b)
  foreach(path "${a}" "${b}")
    if(NOT EXISTS "${WORK}/${path}")
      set_property(GLOBAL APPEND PROPERTY golden_failures "${name}")
      message("${name}: ${path} is missing")
      return()
    endif()
  endforeach()
  file(READ "${WORK}/${a}" first HEX)
  file(READ "${WORK}/${b}" second HEX)
  if(NOT first STREQUAL second)
    set_property(GLOBAL APPEND PROPERTY golden_failures "${name}")
    message("${name}: ${a} and ${b} differ")
  endif()
endfunction()

function(compare name text)
  set(file "${EXPECTED}/${name}.txt")
  if(UPDATE)
    file(WRITE "${file}" "${text}")
    return()
  endif()
  set(expected "")
  if(EXISTS "${file}")
    file(READ "${file}" expected)
  endif()
  if(NOT text STREQUAL expected)
    file(WRITE "${WORK}/actual/${name}.txt" "${text}")
    set_property(GLOBAL APPEND PROPERTY golden_failures "${name}")
    message("${name}: differs, see diff ${file} ${WORK}/actual/${name}.txt")
  endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/golden-cases.cmake)

get_property(failures GLOBAL PROPERTY golden_failures)
if(failures)
  list(LENGTH failures count)
  message(FATAL_ERROR "${count} batch outputs differ from tests/batch/expected; "
                      "QUILLMERE_UPDATE_GOLDEN=1 ctest -R batch_golden rewrites them after an intended change")
endif()
