// Records and checked writing of the forge's themes.
#include "tools/forge/themekit.h"

namespace forge {

TTRVMaterialRecord TextureMaterial(std::string name, const platform::Bitmap& texture, std::uint8_t alphaMode,
                                   std::uint8_t textureScale) {
  TTRVMaterialRecord m;
  m.materialName = std::move(name);
  m.alphaMode = alphaMode;
  m.textureScale = textureScale;
  m.bmp = texture.EncodeBmp();
  return m;
}

TTRVMaterialRecord HeightLayer(std::string name, const platform::Bitmap& texture, std::uint8_t lo, std::uint8_t peak,
                               std::uint8_t high, std::uint8_t textureScale) {
  TTRVMaterialRecord m = TextureMaterial(std::move(name), texture, 0, textureScale);
  m.heightLayer = 1;
  m.bandLow = lo, m.bandPeak = peak, m.bandHigh = high;
  return m;
}

TTRVMaterialRecord ClassLayer(std::string name, const platform::Bitmap& texture, std::uint8_t terrainClass,
                              std::uint8_t textureScale) {
  TTRVMaterialRecord m = HeightLayer(std::move(name), texture, 0, 0, 0, textureScale);
  m.paintsClass = terrainClass;
  return m;
}

TTRVObjectRecord ModelObject(std::string name, std::string material, std::uint8_t kind, float height,
                             const MeshKit& model, std::vector<TTRVMarkerPoint> markers) {
  TTRVObjectRecord o;
  o.meshes = model.Stream(name);
  o.objectName = std::move(name);
  o.objectMaterial = std::move(material);
  o.kind = kind;
  o.height = height;
  o.markers = std::move(markers);
  return o;
}

TTRVMarkerPoint Marker(TAffineVector position, TAffineVector scale) { return {position, scale}; }

bool WriteTheme(const ForgeContext& context, const TTRVThemeFileData& theme, std::string& error) {
  const std::string fileName = theme.themeName + ".TRV";
  if (std::string fault = ThemeFileFault(theme); !fault.empty()) {
    error = fileName + ": " + fault;
    return false;
  }
  if (std::string broken = CheckThemeRules(theme, fileName); !broken.empty()) {
    error = fileName + ": " + broken;
    return false;
  }
  // The game finds materials by name: a second one of the same name would never be used.
  for (std::size_t i = 0; i < theme.materials.size(); ++i)
    for (std::size_t j = 0; j < i; ++j)
      if (theme.materials[i].materialName == theme.materials[j].materialName) {
        error = fileName + ": two materials are called \"" + theme.materials[i].materialName + "\"";
        return false;
      }
  for (const TTRVObjectRecord& o : theme.objects) {
    bool found = false;
    for (const TTRVMaterialRecord& m : theme.materials) found = found || m.materialName == o.objectMaterial;
    if (!found) {
      error = fileName + ": object \"" + o.objectName + "\" uses the missing material \"" + o.objectMaterial + "\"";
      return false;
    }
  }
  const std::vector<std::uint8_t> bytes = WriteThemeFile(theme);
  return WriteFileAtomically(context.outDir / "themes" / fileName, bytes.data(), bytes.size(), error);
}

}  // namespace forge
