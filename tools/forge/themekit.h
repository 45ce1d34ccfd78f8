// Theme assembly for the forge's steps: material and object records from pictures and models,
// and the writing of a theme that must pass the game's own checks before it reaches the disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "tools/forge/forge.h"
#include "tools/forge/meshkit.h"
#include "world/themefile.h"

namespace forge {

// A plain textured material: no ground layer, no class. alphaMode 1 cuts out pure black.
TTRVMaterialRecord TextureMaterial(std::string name, const platform::Bitmap& texture, std::uint8_t alphaMode = 0,
                                   std::uint8_t textureScale = 1);
// A ground layer weighted by the height band lo / peak / high (height bytes).
TTRVMaterialRecord HeightLayer(std::string name, const platform::Bitmap& texture, std::uint8_t lo, std::uint8_t peak,
                               std::uint8_t high, std::uint8_t textureScale);
// A ground layer laid by the terrain class grid alone: a height layer with an empty band.
TTRVMaterialRecord ClassLayer(std::string name, const platform::Bitmap& texture, std::uint8_t terrainClass,
                              std::uint8_t textureScale);

// An object whose model is the kit's mesh; markers are its obstacle boxes (or rig points).
TTRVObjectRecord ModelObject(std::string name, std::string material, std::uint8_t kind, float height,
                             const MeshKit& model, std::vector<TTRVMarkerPoint> markers = {});
TTRVMarkerPoint Marker(TAffineVector position, TAffineVector scale);

// themes/<name>.TRV in the program folder, after ThemeFileFault and CheckThemeRules have
// nothing to say; otherwise nothing is written and error tells why.
bool WriteTheme(const ForgeContext& context, const TTRVThemeFileData& theme, std::string& error);

}  // namespace forge
