// The asset generator's parts: each writes its files of assets/data into a
// folder, and its previews (PNG, WAV) into another.
#pragma once
#include <string>

bool generate_music_assets(const std::string& out_dir);     // module.mod
bool preview_music_assets(const std::string& preview_dir);  // song.wav
bool generate_visual_assets(const std::string& out_dir);    // palette, pictures, tile, meshes
bool preview_visual_assets(const std::string& preview_dir);
