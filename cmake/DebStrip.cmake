# Run by CPack on the staged files before it packs them: strips the binaries as Debian's own
# packaging does, the symbols and also the compilers' .comment and .note sections, which plain
# `strip` keeps.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46")
    continue()
  endif()
  set(symbols)
  if(file MATCHES "\\.so$")
    set(symbols --strip-unneeded)
  endif()
  execute_process(COMMAND "${CPACK_KESTRUN_STRIP}" ${symbols} --remove-section=.comment
                          --remove-section=.note "${file}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "strip ${file}: ${failed}")
  endif()
endforeach()
