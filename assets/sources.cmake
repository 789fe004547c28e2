# Sources of assets/ (decoder, palettes and tables, textures, preparation).
bp_engine_sources(
  COMMON
    ${CMAKE_CURRENT_SOURCE_DIR}/asset_globals.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/rle_decoder.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/palettes.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/nearest_colour.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/colour_search.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/colour_tables.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/light_spot.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/textures.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/preparation.cpp)
