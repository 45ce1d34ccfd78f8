// Building a theme's material library and models from its file's records.
#include "world/theme.h"

#include "platform/filebytes.h"

#include <memory>

#include "platform/bitmap.h"

namespace {

// Far beyond any theme the forge writes; refusing more keeps a stray file from eating memory.
constexpr std::uintmax_t kMaxThemeFileSize = 256u << 20;

TTRVThemeLoadResult Failed(std::string error) { return {false, std::move(error), {}}; }

void SetUpMaterial(TGLLibMaterial& lib, const TTRVMaterialRecord& r) {
  TGLMaterial& m = lib.Material;
  m.Texture.TextureMode = tmModulate;
  if (r.heightLayer != 0) {
    // Height layers are summed over the ground texture, weighted per vertex.
    m.BlendingMode = bmAdditive;
    m.MaterialOptions |= moNoLighting;
  }
  lib.TextureScale = {float(r.textureScale), float(r.textureScale), 1};
  if (r.alphaMode != 0) {
    // Leaves and sprites: pure black is the cut-out, both faces show.
    const bool texture = !m.Texture.Disabled;
    UseCutOutPicture(m, r.alphaMode == 2 ? bmAlphaTest100 : r.alphaMode == 1 ? bmAlphaTest50 : m.BlendingMode);
    m.Texture.Disabled = !texture;
    if (r.alphaMode == 2) m.MaterialOptions |= moNoLighting;
  }
}

}  // namespace

void TTRVTheme::Clear() {
  objectRoot.DeleteChildren();
  objectInfos.clear();
  treeObjects.clear();
  buildingObjects.clear();
  grassObjects.clear();
  materialInfos.clear();
  materialLibrary.Clear();
  themeName.clear();
}

std::string TTRVTheme::AddMaterial(const TTRVMaterialRecord& r) {
  platform::Bitmap bitmap;
  std::string why;
  if (!bitmap.LoadBmpFromMemory(r.bmp, why))
    return "Material " + std::to_string(materialInfos.size()) + " (\"" + r.materialName + "\"): texture: " + why;

  TTRVMaterialInfo info{r.materialName, r.infoText1, r.infoText2, r.heightLayer, r.slopeLayer,
                        r.paintsClass,  r.bandLow,   r.bandPeak,  r.bandHigh,    r.slopeThreshold,
                        r.textureScale, r.alphaMode, ThemeHeightWeights(r.bandLow, r.bandPeak, r.bandHigh)};
  materialInfos.push_back(std::move(info));
  TGLLibMaterial& lib = *materialLibrary.Add(r.materialName);
  SetUpMaterial(lib, r);
  lib.Material.Texture.AssignBitmap(bitmap);
  return {};
}

std::string TTRVTheme::AddObject(const TTRVObjectRecord& r) {
  auto form = std::make_unique<TGLFreeForm>();
  std::size_t pos = 0;
  std::string why;
  if (!form->LoadMeshes(r.meshes, pos, why))
    return "Object " + std::to_string(objectInfos.size()) + " (\"" + r.objectName + "\"): meshes: " + why;
  form->Name = r.objectName;
  form->Material.MaterialLibrary = &materialLibrary;
  form->Material.LibMaterialName = r.objectMaterial;
  for (const TTRVMarkerPoint& p : r.markers) {
    auto* marker = form->AddNewChild<TGLDummyCube>();
    marker->Position.SetPoint(p.position);
    marker->Scale.SetVector(p.scale);
  }
  objectRoot.AdoptChild(std::move(form));
  objectInfos.push_back({r.objectName, r.objectText, r.objectMaterial, r.kind, r.height});
  return {};
}

std::string TTRVTheme::Build(const TTRVThemeFileData& data) {
  Clear();
  themeName = data.themeName;
  std::string error;
  for (const TTRVMaterialRecord& r : data.materials)
    if (error = AddMaterial(r); !error.empty()) break;
  // Kind lists hold byte indices: objects past what they can index are not built.
  std::array<std::size_t, 256> kindCounts{};
  for (const TTRVObjectRecord& r : data.objects) {
    std::string why;
    if (objectInfos.size() >= kMaxThemeObjects || kindCounts[r.kind] >= kMaxObjectsOfOneKind)
      why = "Object " + std::to_string(objectInfos.size()) + ": too many objects for byte indices";
    else
      why = AddObject(r);
    if (!why.empty()) {
      error += (error.empty() ? "" : "; ") + why;
      break;
    }
    ++kindCounts[r.kind];
  }
  for (std::size_t i = 0; i < objectInfos.size(); ++i) {
    const auto index = static_cast<std::uint8_t>(i);
    switch (objectInfos[i].kind) {
      case okTree: treeObjects.push_back(index); break;
      case okBuilding: buildingObjects.push_back(index); break;
      case okGrass: grassObjects.push_back(index); break;
      default: break;  // obstacles and imposter objects are found through objectInfos
    }
  }
  return error;
}

TTRVThemeLoadResult TTRVTheme::LoadThemeBytes(std::span<const std::uint8_t> bytes, std::string_view fileName) {
  Clear();
  TTRVThemeFileData data;
  std::string parseError;
  const bool parsed = ParseThemeFile(bytes, data, parseError);
  // A file that is no theme at all is not held to the rules of themes.
  if (!parsed && data.themeName.empty() && data.materials.empty() && data.objects.empty())
    return Failed(parseError);
  const std::string buildError = Build(data);
  TTRVThemeLoadResult result;
  result.error = parseError;
  if (!buildError.empty()) result.error += (result.error.empty() ? "" : "; ") + buildError;
  result.ok = result.error.empty();
  result.warning = CheckThemeRules(data, fileName);
  return result;
}

TTRVThemeLoadResult TTRVTheme::LoadThemeFile(const std::filesystem::path& path) {
  Clear();
  std::vector<std::uint8_t> bytes;
  switch (platform::ReadFileBytes(path, kMaxThemeFileSize, bytes)) {
    case platform::ReadFileResult::Missing: return Failed("File not found: " + path.string());
    case platform::ReadFileResult::TooLarge: return Failed("Theme file too large: " + path.string());
    case platform::ReadFileResult::Unreadable: return Failed("Cannot read theme file: " + path.string());
    case platform::ReadFileResult::Ok: break;
  }
  TTRVThemeLoadResult result = LoadThemeBytes(bytes, path.filename().string());
  if (!result.error.empty()) result.error = path.filename().string() + ": " + result.error;
  return result;
}

bool TTRVTheme::HasClassMaterial(int terrainClass) const {
  for (const TTRVMaterialInfo& m : materialInfos)
    if (m.paintsClass == terrainClass) return true;
  return false;
}

std::vector<std::uint8_t> TTRVTheme::ObjectsOfKind(int kind) const {
  std::vector<std::uint8_t> out{0};
  for (std::size_t i = 0; i < objectInfos.size(); ++i)
    if (objectInfos[i].kind == kind) out.push_back(static_cast<std::uint8_t>(i));
  out[0] = static_cast<std::uint8_t>(out.size() - 1);
  return out;
}

TGLFreeForm* TTRVTheme::Object(int index) const {
  if (index < 0 || index >= objectRoot.Count()) return nullptr;
  return static_cast<TGLFreeForm*>(objectRoot.Children(index));
}
