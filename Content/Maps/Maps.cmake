# The test tracks, written by wemap from their descriptions: the maps into Maps/ beside the executables, the
# track meshes into their own generated tree, which the pack copies into the staged tree. Included by the
# content folder's list so the pack can depend on the maps.
set(maps_out ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Maps)
file(MAKE_DIRECTORY ${maps_out} ${map_generated_root})
set(map_files)
# Particle systems placed from shipped definitions copy their records from the generated tree.
set(map_definitions ${generated_files})
list(FILTER map_definitions INCLUDE REGEX "\\.particles$")
# The engine's test tracks, then the game's race tracks (a file keeps its map's name, blanks and all).
foreach(name TestOval TestCircuit _TestRace "Wastelands of Apeiron (day)" "Fusion Sphere (night)"
             _garage_Gnosis _garage_Evelad)
  add_custom_command(
    OUTPUT "${maps_out}/${name}.map"
    COMMAND wemap build "${CMAKE_CURRENT_LIST_DIR}/${name}.txt" ${maps_out} ${map_generated_root} ${generated_root}
            --previews ${preview_root}/Maps
    DEPENDS wemap "${CMAKE_CURRENT_LIST_DIR}/${name}.txt" ${map_definitions}
    COMMENT "Writing Maps/${name}.map and its track from Content/Maps/${name}.txt"
    VERBATIM)
  list(APPEND map_files "${maps_out}/${name}.map")
endforeach()
add_custom_target(content_maps ALL DEPENDS ${map_files})
