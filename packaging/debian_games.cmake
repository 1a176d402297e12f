# Run by CPack on the staged package before it is packed: Debian keeps the
# programs of games in /usr/games, so the game and its archive tool move
# there. The data stays in /usr/share/bramblecourt, which the game finds as
# ../share/bramblecourt from either folder.
set(staged "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr")
file(MAKE_DIRECTORY "${staged}/games")
foreach(program bramblecourt bramblecourt-packfile)
  if(NOT EXISTS "${staged}/bin/${program}")
    message(FATAL_ERROR "${program} is not staged in ${staged}/bin")
  endif()
  file(RENAME "${staged}/bin/${program}" "${staged}/games/${program}")
endforeach()
file(GLOB left "${staged}/bin/*")
if(NOT left)
  file(REMOVE_RECURSE "${staged}/bin")
endif()
