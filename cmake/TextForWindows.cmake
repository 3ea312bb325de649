# Writes a text file for Windows users: CRLF line ends. With -DGROFF=...
# the input is a manual page, rendered first as plain ASCII text in its
# Windows form (the register "windows" set to 1: cmd.exe, PowerShell and
# NUL instead of a POSIX shell).
#   cmake -DINPUT=in -DOUTPUT=out.txt [-DGROFF=/usr/bin/groff] -P TextForWindows.cmake
if(GROFF)
  execute_process(COMMAND "${GROFF}" -t -man -Tascii -P-cbou -rwindows=1 "${INPUT}"
    OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "groff ${INPUT} failed: ${status}")
  endif()
else()
  file(READ "${INPUT}" text)
endif()
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
