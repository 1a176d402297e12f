# Run by CPack on the staged package before it is packed: Debian keeps the
# programs of games in /usr/games, so the game and its archive tool move
# there, stripped of the compiler's notes too. The data stays in
# /usr/share/bramblecourt, which the game finds as ../share/bramblecourt
# from either folder.
set(staged "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr")
file(MAKE_DIRECTORY "${staged}/games")
foreach(program bramblecourt bramblecourt-packfile)
  if(NOT EXISTS "${staged}/bin/${program}")
    message(FATAL_ERROR "${program} is not staged in ${staged}/bin")
  endif()
  file(RENAME "${staged}/bin/${program}" "${staged}/games/${program}")
  if(CPACK_BRAMBLE_STRIP)
    execute_process(COMMAND "${CPACK_BRAMBLE_STRIP}" --remove-section=.comment
                            --remove-section=.note "${staged}/games/${program}"
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "strip ${program}: ${status}")
    endif()
  endif()
endforeach()
file(GLOB left "${staged}/bin/*")
if(NOT left)
  file(REMOVE_RECURSE "${staged}/bin")
endif()
