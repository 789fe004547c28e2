// assetgen's visual part: writes palette.bin, picture_sheet.rle,
// small_texture.rle, pattern_tile.bin and mesh1..3.bin, and their previews.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/visual/mesh_designs.h"
#include "tools/assetgen/visual/palette_design.h"
#include "tools/assetgen/visual/pattern_tile.h"
#include "tools/assetgen/visual/picture_sheet.h"
#include "tools/assetgen/visual/preview.h"
#include "tools/assetgen/visual/scene_preview.h"
#include "tools/assetgen/visual/small_texture.h"

namespace {

bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "assetgen: cannot write %s; check that the folder exists\n",
                     path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok)
        std::fprintf(stderr, "assetgen: writing %s failed; check the free space\n", path.c_str());
    return ok;
}

bool packed_or_complain(const PackedImage& packed, const char* name) {
    if (!packed.fits)
        std::fprintf(stderr,
                     "assetgen: the %s design packs longer than its fixed length; simplify it\n",
                     name);
    return packed.fits;
}

// Built, fitted to its radius and turned outward; false (with a message) if
// the design misses its counts or radius.
bool finish_mesh(MeshDesign& mesh, const MeshTarget& target) {
    if (int(mesh.vertices.size()) != target.vertices || int(mesh.faces.size()) != target.faces) {
        std::fprintf(stderr, "assetgen: %s has %zu vertices and %zu faces, not %d and %d\n",
                     target.file, mesh.vertices.size(), mesh.faces.size(), target.vertices,
                     target.faces);
        return false;
    }
    if (!fit_radius(mesh, target.radius, kRadiusTolerance)) {
        std::fprintf(stderr, "assetgen: %s cannot be rounded to radius %.1f; adjust its design\n",
                     target.file, target.radius);
        return false;
    }
    orient_outward(mesh);
    return true;
}

// How much of each band the pictures cover: every inked pixel costs about
// one packed byte, so this is where the sheet's bytes go.
void print_band_coverage(const IndexImage& sheet) {
    struct Band {
        const char* name;
        int first, rows;
    };
    for (Band band : {Band{"credit", 0, 11}, Band{"title", 12, 98}, Band{"message", 110, 30}}) {
        int inked = 0;
        for (int y = band.first; y < band.first + band.rows; ++y)
            for (int x = 0; x < kSheetWidth; ++x) inked += sheet.at(x, y) != 0;
        std::printf("assetgen:   %-7s band: %5d of %5d pixels inked (%.1f%%)\n", band.name, inked,
                    band.rows * kSheetWidth, 100.0 * inked / (band.rows * kSheetWidth));
    }
}

bool build_meshes(MeshDesign (&meshes)[3]) {
    meshes[0] = make_star_jewel();
    meshes[1] = make_spire();
    meshes[2] = make_emblem();
    bool ok = true;
    for (int i = 0; i < 3; ++i) ok = finish_mesh(meshes[i], kMeshTargets[i]) && ok;
    return ok;
}

}  // namespace

bool generate_visual_assets(const std::string& out_dir) {
    const std::string dir = out_dir + "/";
    Palette6 palette = design_palette();
    PackedImage sheet = make_picture_sheet();
    PackedImage texture = make_small_texture();
    MeshDesign meshes[3];
    if (!packed_or_complain(sheet, "picture sheet") ||
        !packed_or_complain(texture, "small texture") || !build_meshes(meshes))
        return false;
    bool ok = write_bytes(dir + "palette.bin", palette_bytes(palette));
    ok = write_bytes(dir + "picture_sheet.rle", with_length_prefix(sheet.stream)) && ok;
    ok = write_bytes(dir + "small_texture.rle", with_length_prefix(texture.stream)) && ok;
    ok = write_bytes(dir + "pattern_tile.bin", make_pattern_tile().pixels) && ok;
    for (int i = 0; i < 3; ++i)
        ok = write_bytes(dir + kMeshTargets[i].file, mesh_bytes(meshes[i])) && ok;
    return ok;
}

bool preview_visual_assets(const std::string& preview_dir) {
    const std::string dir = preview_dir + "/";
    Palette6 palette = design_palette();
    PackedImage sheet = make_picture_sheet();
    PackedImage texture = make_small_texture();
    IndexImage tile = make_pattern_tile();
    MeshDesign meshes[3];
    if (!build_meshes(meshes)) return false;
    std::printf("assetgen: picture sheet packs to %zu bytes bare, %d no-ops added\n",
                sheet.bare_bytes, sheet.no_ops);
    print_band_coverage(sheet.image);
    std::printf("assetgen: small texture packs to %zu bytes bare, %d stars and %d no-ops added\n",
                texture.bare_bytes, texture.decorations, texture.no_ops);

    // The pillars' dark tile would show almost nothing here; they are shown
    // with the tile itself. The emblem glows in one colour.
    IndexImage glow(1, 1, tile.at(kTileSize - 1, kTileSize - 1));
    const IndexImage* mesh_textures[3] = {&tile, &tile, &glow};

    bool ok = write_palette_swatch(dir + "palette.png", palette);
    ok = write_indexed_png(dir + "picture_sheet.png", sheet.image, palette, 2, 1, true) && ok;
    struct Band {
        const char* name;
        int first, rows;
    };
    for (Band band : {Band{"credit_3x.png", 0, 11}, Band{"title_3x.png", 12, 98},
                      Band{"message_3x.png", 110, 30}}) {
        IndexImage crop(kSheetWidth, band.rows);
        std::copy(sheet.image.pixels.begin() + band.first * kSheetWidth,
                  sheet.image.pixels.begin() + (band.first + band.rows) * kSheetWidth,
                  crop.pixels.begin());
        ok = write_indexed_png(dir + band.name, crop, palette, 3, 1, false) && ok;
    }
    ok = write_indexed_png(dir + "small_texture.png", texture.image, palette, 4, 1, false) && ok;
    ok =
        write_indexed_png(dir + "small_texture_2x2.png", texture.image, palette, 2, 2, false) && ok;
    ok = write_indexed_png(dir + "pattern_tile_2x2.png", tile, palette, 4, 2, false) && ok;
    for (int i = 0; i < 3; ++i) {
        std::string name = "mesh" + std::to_string(i + 1) + "_views.png";
        ok = write_mesh_views(dir + name, meshes[i], *mesh_textures[i], palette, i == 1) && ok;
    }
    SceneAssets scene = {&palette, &texture.image, &tile, {&meshes[0], &meshes[1], &meshes[2]}};
    return write_scene_previews(dir, scene) && ok;
}
