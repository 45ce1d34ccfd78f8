// TTRVTheme: one theme file's materials in a library of their own and its models as free
// forms under a root that no scene holds. Places nothing in the visible scene; the world,
// the HUD and the units show the models through proxies and imposters.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scene/baseobject.h"
#include "scene/freeform.h"
#include "scene/material.h"
#include "world/themefile.h"

struct TTRVMaterialInfo {
  std::string materialName;
  std::string infoText1;
  std::string infoText2;
  std::uint8_t heightLayer = 0;
  std::uint8_t slopeLayer = 0;
  std::uint8_t paintsClass = 0;
  std::uint8_t bandLow = 0;
  std::uint8_t bandPeak = 0;
  std::uint8_t bandHigh = 0;
  std::uint8_t slopeThreshold = 0;
  std::uint8_t textureScale = 1;
  std::uint8_t alphaMode = 0;
  std::array<std::uint8_t, 256> heightWeights{};  // by height byte, from the band
};

struct TTRVObjInfo {
  std::string objectName;
  std::string objectText;
  std::string objectMaterial;
  std::uint8_t kind = okTree;
  float height = 0;
};

// ok is false when the file could not be had or a record was broken; what loaded before the
// fault stays in the theme. warning lists the shipped-theme rules the file breaks.
struct TTRVThemeLoadResult {
  bool ok = false;
  std::string error;
  std::string warning;
};

class TTRVTheme {
 public:
  TTRVTheme() = default;
  // Free forms point at this object's library, so a theme stays where it was made.
  TTRVTheme(const TTRVTheme&) = delete;
  TTRVTheme& operator=(const TTRVTheme&) = delete;

  TGLMaterialLibrary materialLibrary;          // one material per material record, in file order
  std::vector<TTRVMaterialInfo> materialInfos; // same index as in materialLibrary
  TGLDummyCube objectRoot;                     // child N is the free form of object N
  std::vector<TTRVObjInfo> objectInfos;        // same index as the free forms
  std::vector<std::uint8_t> treeObjects;       // indices of kind 0, ascending
  std::vector<std::uint8_t> buildingObjects;   // kind 1
  std::vector<std::uint8_t> grassObjects;      // kind 2
  std::string themeName;

  // Reads a theme file; its caller knows the folder. Every load starts from an empty theme.
  TTRVThemeLoadResult LoadThemeFile(const std::filesystem::path& path);
  // fileName (without folder) is checked against the name inside; empty skips that rule.
  TTRVThemeLoadResult LoadThemeBytes(std::span<const std::uint8_t> bytes, std::string_view fileName = {});

  // Replaces the contents with the records. A texture that does not decode or a mesh list that
  // does not read stops the materials (or the objects) there; the answer then says why.
  std::string Build(const TTRVThemeFileData& data);
  void Clear();

  bool HasClassMaterial(int terrainClass) const;
  // A count byte, then the indices of the objects of that kind in ascending order.
  std::vector<std::uint8_t> ObjectsOfKind(int kind) const;
  // The model of object index, or null outside the list.
  TGLFreeForm* Object(int index) const;

 private:
  std::string AddMaterial(const TTRVMaterialRecord& record);
  std::string AddObject(const TTRVObjectRecord& record);
};
