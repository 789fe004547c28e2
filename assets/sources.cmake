# Sources of assets/ (decoder, palettes and tables, textures).
bp_engine_sources(COMMON
  ${CMAKE_CURRENT_SOURCE_DIR}/asset_globals.cpp)
