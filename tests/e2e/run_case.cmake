# Runs the program for one end-to-end case and compares everything it left.
#
# A case is a folder:
#   args              the arguments, one per line (none when missing)
#   files/            copied into an empty scratch folder, the run's working folder
#   expected/stdout   what the program prints, byte for byte
#   expected/status   the exit status as a shell sees it (0 to 255)
#   expected/files/   every file the scratch folder must hold afterwards besides
#                     the unchanged files/ copies, byte for byte
#
# With the environment variable CARDLIFT_BLESS=1 the expected files are
# rewritten from this run instead; read every one before committing it.

foreach(var PROGRAM CASE_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_case.cmake needs -D${var}=...")
  endif()
endforeach()

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
if(bless)
  file(REMOVE_RECURSE "${CASE_DIR}/expected")
  file(MAKE_DIRECTORY "${CASE_DIR}/expected/files")
  file(COPY "${result_dir}/stdout" "${result_dir}/status" DESTINATION "${CASE_DIR}/expected")
endif()

set(failures "")
macro(fail text)
  string(APPEND failures "  ${text}\n")
endmacro()

file(SIZE "${result_dir}/stderr" stderr_size)
if(NOT stderr_size EQUAL 0)
  file(READ "${result_dir}/stderr" stderr_text)
  fail("the program wrote to standard error: ${stderr_text}")
endif()

foreach(name stdout status)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
    "${result_dir}/${name}" "${CASE_DIR}/expected/${name}" RESULT_VARIABLE differs)
  if(differs)
    file(READ "${result_dir}/${name}" actual)
    fail("${name} differs; it was:\n${actual}")
  endif()
endforeach()

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
    set(reference "${CASE_DIR}/expected/files/${name}")
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
