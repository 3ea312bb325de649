# Runs the program for one end-to-end case and compares everything it left.
#
# A case is a folder:
#   args              the arguments, one per line (none when missing)
#   files/            copied into an empty scratch folder, the run's working folder
#   expected/stdout   what the program prints, byte for byte
#   expected/status   the exit status as a shell sees it (0 to 255)
#   expected/stderr   (optional) what the program prints on standard error,
#                     which must otherwise stay empty; on Windows, where the
#                     system words its reasons differently, only the part of
#                     each line before its last ": " is compared
#   expected/files/   every file the scratch folder must hold afterwards besides
#                     the unchanged files/ copies, byte for byte
#   skip-windows      (optional) why the case cannot mean the same on Windows;
#                     there it is reported as skipped
#
# Expected files are written with "\n" line ends. With -DTARGET_WINDOWS=ON
# (a Windows build, run through -DEMULATOR=...) the program ends its lines
# with "\r\n", so the expected console, output and log are compared with
# every "\n" turned into "\r\n"; the copies of files/ stay as they are.
#
# With the environment variable CARDLIFT_BLESS=1 the expected files are
# rewritten from this run instead; read every one before committing it.

cmake_minimum_required(VERSION 3.25)

foreach(var PROGRAM CASE_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_case.cmake needs -D${var}=...")
  endif()
endforeach()

if(TARGET_WINDOWS AND EXISTS "${CASE_DIR}/skip-windows")
  file(READ "${CASE_DIR}/skip-windows" reason)
  # CTest marks the test skipped on this text.
  message(STATUS "e2e case not run on Windows: ${reason}")
  return()
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(result_dir "${WORK_DIR}.result")
file(REMOVE_RECURSE "${result_dir}")
file(MAKE_DIRECTORY "${result_dir}")

set(inputs "")
if(IS_DIRECTORY "${CASE_DIR}/files")
  file(COPY "${CASE_DIR}/files/" DESTINATION "${WORK_DIR}")
  file(GLOB_RECURSE inputs RELATIVE "${CASE_DIR}/files" "${CASE_DIR}/files/*")
endif()

set(arguments "")
if(EXISTS "${CASE_DIR}/args")
  file(READ "${CASE_DIR}/args" arguments)
  string(REGEX REPLACE "\n$" "" arguments "${arguments}")
  string(REPLACE "\n" ";" arguments "${arguments}")
endif()

execute_process(
  COMMAND ${EMULATOR} "${PROGRAM}" ${arguments}
  WORKING_DIRECTORY "${WORK_DIR}"
  OUTPUT_FILE "${result_dir}/stdout"
  ERROR_FILE "${result_dir}/stderr"
  RESULT_VARIABLE status)
file(WRITE "${result_dir}/status" "${status}\n")

set(bless "$ENV{CARDLIFT_BLESS}")
if(bless AND TARGET_WINDOWS)
  message(FATAL_ERROR "bless the expected files with a Linux build: they hold \"\\n\" line ends")
endif()
if(bless)
  file(REMOVE_RECURSE "${CASE_DIR}/expected")
  file(MAKE_DIRECTORY "${CASE_DIR}/expected/files")
  file(COPY "${result_dir}/stdout" "${result_dir}/status" DESTINATION "${CASE_DIR}/expected")
endif()

set(failures "")
macro(fail text)
  string(APPEND failures "  ${text}\n")
endmacro()

# The lines of a standard-error file, each cut at its last ": ": on
# Windows only the names are compared.
function(read_reasons file out_var)
  set(lines "")
  if(EXISTS "${file}")
    file(STRINGS "${file}" lines)
  endif()
  set(cut "")
  foreach(line IN LISTS lines)
    string(REPLACE "\r" "" line "${line}")
    string(FIND "${line}" ": " at REVERSE)
    if(at GREATER -1)
      string(SUBSTRING "${line}" 0 ${at} line)
    endif()
    list(APPEND cut "${line}")
  endforeach()
  set(${out_var} "${cut}" PARENT_SCOPE)
endfunction()

if(bless)
  file(SIZE "${result_dir}/stderr" stderr_size)
  if(NOT stderr_size EQUAL 0)
    file(COPY "${result_dir}/stderr" DESTINATION "${CASE_DIR}/expected")
  endif()
endif()
if(TARGET_WINDOWS)
  read_reasons("${result_dir}/stderr" actual_reasons)
  read_reasons("${CASE_DIR}/expected/stderr" expected_reasons)
  string(COMPARE NOTEQUAL "${actual_reasons}" "${expected_reasons}" stderr_differs)
else()
  set(expected_stderr "${CASE_DIR}/expected/stderr")
  if(NOT EXISTS "${expected_stderr}")
    set(expected_stderr "${result_dir}/no-stderr")
    file(WRITE "${expected_stderr}" "")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
    "${result_dir}/stderr" "${expected_stderr}" RESULT_VARIABLE stderr_differs)
endif()
if(stderr_differs)
  file(READ "${result_dir}/stderr" stderr_text)
  fail("standard error differs; it was:\n${stderr_text}")
endif()

# Compares a file the program wrote with its expected file; sets out_var
# when they differ. On Windows every "\n" of the expected file stands for
# "\r\n". The bytes are compared as hex, so that none (NUL, ';', invalid
# UTF-8) is lost on the way.
function(compare_written actual_file expected_file out_var)
  if(NOT TARGET_WINDOWS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
      "${actual_file}" "${expected_file}" RESULT_VARIABLE differs)
    set(${out_var} "${differs}" PARENT_SCOPE)
    return()
  endif()
  if(NOT EXISTS "${expected_file}")
    set(${out_var} 1 PARENT_SCOPE)
    return()
  endif()
  file(READ "${actual_file}" actual HEX)
  file(READ "${expected_file}" expected HEX)
  # A space after every byte, so that "0a " only ever matches a whole byte.
  string(REGEX REPLACE "(..)" "\\1 " expected "${expected}")
  string(REPLACE "0a " "0d0a" expected "${expected}")
  string(REPLACE " " "" expected "${expected}")
  if(actual STREQUAL expected)
    set(${out_var} 0 PARENT_SCOPE)
  else()
    set(${out_var} 1 PARENT_SCOPE)
  endif()
endfunction()

compare_written("${result_dir}/stdout" "${CASE_DIR}/expected/stdout" differs)
if(differs)
  file(READ "${result_dir}/stdout" actual)
  fail("stdout differs; it was:\n${actual}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
  "${result_dir}/status" "${CASE_DIR}/expected/status" RESULT_VARIABLE differs)
if(differs)
  file(READ "${result_dir}/status" actual)
  fail("status differs; it was:\n${actual}")
endif()

# Every file left in the scratch folder must be an unchanged input or expected.
file(GLOB_RECURSE left RELATIVE "${WORK_DIR}" "${WORK_DIR}/*")
set(expected "")
if(IS_DIRECTORY "${CASE_DIR}/expected/files")
  file(GLOB_RECURSE expected RELATIVE "${CASE_DIR}/expected/files" "${CASE_DIR}/expected/files/*")
endif()
foreach(name IN LISTS left)
  if(name IN_LIST inputs AND NOT name IN_LIST expected)
    set(reference "${CASE_DIR}/files/${name}")
  elseif(bless)
    get_filename_component(folder "${CASE_DIR}/expected/files/${name}" DIRECTORY)
    file(COPY "${WORK_DIR}/${name}" DESTINATION "${folder}")
    continue()
  elseif(name IN_LIST expected)
    compare_written("${WORK_DIR}/${name}" "${CASE_DIR}/expected/files/${name}" differs)
    if(differs)
      file(READ "${WORK_DIR}/${name}" actual)
      fail("${name} differs from ${CASE_DIR}/expected/files/${name}; it holds:\n${actual}")
    endif()
    continue()
  else()
    fail("unexpected file left: ${name}")
    continue()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
    "${WORK_DIR}/${name}" "${reference}" RESULT_VARIABLE differs)
  if(differs)
    file(READ "${WORK_DIR}/${name}" actual)
    fail("${name} differs from ${reference}; it holds:\n${actual}")
  endif()
endforeach()
if(NOT bless)
  foreach(name IN LISTS expected)
    if(NOT EXISTS "${WORK_DIR}/${name}")
      fail("expected file missing: ${name}")
    endif()
  endforeach()
endif()

if(failures)
  message(FATAL_ERROR "case ${CASE_DIR}:\n${failures}")
endif()
