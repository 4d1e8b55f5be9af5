# cmake -DEXE=<countdown.exe> -DOBJDUMP=<objdump> -P check_exe.cmake
# Fails unless the program is a small 32-bit GUI executable that imports only
# DLLs on Windows' KnownDLLs list (a DLL planted beside it is never loaded).
cmake_policy(VERSION 3.21)
set(known_dlls KERNEL32.dll USER32.dll GDI32.dll ADVAPI32.dll SHELL32.dll COMDLG32.dll
               ole32.dll OLEAUT32.dll SHLWAPI.dll IMM32.dll msvcrt.dll)
set(max_size 262144)

file(SIZE "${EXE}" size)
if(NOT size LESS max_size)
  message(FATAL_ERROR "${EXE} is ${size} bytes, limit is ${max_size}")
endif()

execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p failed: ${rc}")
endif()
if(NOT dump MATCHES "file format pei-i386")
  message(FATAL_ERROR "not a PE32 i386 image")
endif()
if(NOT dump MATCHES "Subsystem[ \t]+00000002")
  message(FATAL_ERROR "not a Windows GUI subsystem program")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
if(NOT imports)
  message(FATAL_ERROR "no imports found: objdump output not understood")
endif()
string(TOLOWER "${known_dlls}" allowed)
foreach(line IN LISTS imports)
  string(REGEX REPLACE "DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll_lower)
  if(NOT dll_lower IN_LIST allowed)
    message(FATAL_ERROR "imports ${dll}, which is not a KnownDLL")
  endif()
  list(APPEND seen ${dll})
endforeach()
message(STATUS "${size} bytes, PE32 GUI, imports: ${seen}")
