# Builds the Windows Installer package from a folder holding what the zip
# holds, with wixl and msibuild (msitools):
#   cmake -DFILES=FOLDER -DICON=molagirlik.ico -DVERSION=2.0.0
#     -DOUTPUT=molagirlik-2.0.0-x64.msi -P cmake/msi.cmake
# With SOURCE_DATE_EPOCH set, two builds give the same bytes: its time
# stands for the files' times in the cabinet and for the summary's dates
# (through faketime: wixl takes the clock), and the package code is drawn
# from the version and the files.
cmake_minimum_required(VERSION 3.20)
foreach(variable FILES ICON VERSION OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "msi.cmake needs -D${variable}=...")
  endif()
endforeach()
set(source ${CMAKE_CURRENT_LIST_DIR}/../packaging/windows/molagirlik.wxs)
find_program(WIXL wixl)
find_program(MSIBUILD msibuild)
find_program(MSIINFO msiinfo)
if(NOT WIXL OR NOT MSIBUILD OR NOT MSIINFO)
  message(FATAL_ERROR "The .msi needs wixl and msitools (scripts/install-deps --windows).")
endif()
set(clock)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  find_program(FAKETIME faketime)
  if(NOT FAKETIME)
    message(FATAL_ERROR "A reproducible .msi needs faketime (scripts/install-deps --windows).")
  endif()
  # CMake's time stamps take SOURCE_DATE_EPOCH; the clock stands still there.
  string(TIMESTAMP frozen "%Y-%m-%d %H:%M:%S" UTC)
  set(clock ${CMAKE_COMMAND} -E env TZ=UTC ${FAKETIME} -f "${frozen}")
endif()

set(work ${OUTPUT}.work)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work}/files)
set(names molagirlik.exe molagirlik-utf8.exe OKUBENI.txt LICENSE.txt)
set(digests)
foreach(name ${names})
  file(COPY_FILE ${FILES}/${name} ${work}/files/${name})
  file(SHA256 ${work}/files/${name} digest)
  list(APPEND digests ${digest})
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND touch -d "@$ENV{SOURCE_DATE_EPOCH}" ${work}/files/${name}
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
file(COPY_FILE ${ICON} ${work}/molagirlik.ico)

# The UpgradeCode never changes: every version of the program has it, so
# that a newer one replaces an older one. The ProductCode is drawn from it
# and the version, so each version has its own; the package code from the
# version and the files' bytes, so each different package has its own.
set(upgrade_code 6E4B1C0A-5D2F-4A8B-9C3E-7F1D2A6B8E40)
string(UUID product_code NAMESPACE ${upgrade_code} NAME "product ${VERSION} x64"
  TYPE SHA1 UPPER)
string(UUID package_code NAMESPACE ${upgrade_code} NAME "package ${VERSION} ${digests}"
  TYPE SHA1 UPPER)

# wixl 0.101 writes the tables in its own code page and cannot be told
# another: a letter outside Latin-1 (ğ ı İ ş ...) crashes it. So the tables
# are built with each Turkish letter as a mark, then the database is set to
# Windows' Turkish code page, 1254, and the letters are put back with
# msibuild. The summary, which wixl writes in the Product's Codepage, takes
# the letters as they are: the Package element is left alone.
set(letters ç Ç ğ Ğ ı İ ö Ö ş Ş ü Ü)
function(unmark variable)
  set(text "${${variable}}")
  set(index 0)
  foreach(letter IN LISTS letters)
    string(REPLACE "~${index}~" "${letter}" text "${text}")
    math(EXPR index "${index} + 1")
  endforeach()
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()
file(READ ${source} text)
string(FIND "${text}" "<Package " package_start)
string(SUBSTRING "${text}" ${package_start} -1 rest)
string(FIND "${rest}" "/>" package_length)
math(EXPR package_length "${package_length} + 2")
string(SUBSTRING "${text}" 0 ${package_start} before)
string(SUBSTRING "${rest}" 0 ${package_length} package)
string(SUBSTRING "${rest}" ${package_length} -1 after)
set(index 0)
foreach(letter IN LISTS letters)
  string(REPLACE "${letter}" "~${index}~" before "${before}")
  string(REPLACE "${letter}" "~${index}~" after "${after}")
  math(EXPR index "${index} + 1")
endforeach()
string(REGEX MATCH "[^\t\r\n -~]" stray "${before}${after}")
if(stray)
  message(FATAL_ERROR "${source} has a letter outside ASCII that is not Turkish")
endif()
file(WRITE ${work}/molagirlik.wxs "${before}${package}${after}")

execute_process(
  COMMAND ${clock} ${WIXL} -a x64 -D Version=${VERSION} -D UpgradeCode=${upgrade_code}
    -D ProductCode=${product_code}
    -D Files=files -D Icon=molagirlik.ico -o built.msi molagirlik.wxs
  WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)

file(WRITE ${work}/_ForceCodepage.idt "\r\n\r\n1254\t_ForceCodepage\r\n")
execute_process(COMMAND ${MSIBUILD} built.msi -i _ForceCodepage.idt
  WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${MSIINFO} tables built.msi
  WORKING_DIRECTORY ${work} OUTPUT_VARIABLE tables COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\n" ";" tables "${tables}")
foreach(table ${tables})
  if(table STREQUAL "" OR table MATCHES "^_")
    continue()
  endif()
  execute_process(COMMAND ${MSIINFO} export built.msi ${table}
    WORKING_DIRECTORY ${work} OUTPUT_VARIABLE rows COMMAND_ERROR_IS_FATAL ANY)
  if(NOT rows MATCHES "~[0-9]+~")
    continue()
  endif()
  unmark(rows)
  file(WRITE ${work}/${table}.idt "${rows}")
  execute_process(COMMAND ${MSIBUILD} built.msi -i ${table}.idt
    WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# The summary's package code (wixl draws one at random), its language, and
# its author, the Manufacturer, with the letters put back.
execute_process(COMMAND ${MSIINFO} suminfo built.msi
  WORKING_DIRECTORY ${work} OUTPUT_VARIABLE summary COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "Subject: ([^\n]*)" _ "${summary}")
set(subject "${CMAKE_MATCH_1}")
string(REGEX MATCH "Author: ([^\n]*)" _ "${summary}")
set(author "${CMAKE_MATCH_1}")
unmark(author)
execute_process(
  COMMAND ${clock} ${MSIBUILD} built.msi -s "${subject}" "${author}" "x64;1055" "{${package_code}}"
  WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)

file(RENAME ${work}/built.msi ${OUTPUT})
file(REMOVE_RECURSE ${work})
