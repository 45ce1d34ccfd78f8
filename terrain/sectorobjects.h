// A sector's static objects: proxies of the themes' models with their obstacle boxes at full
// detail, imposters at detail levels 1 and 2, built from the sector's placement records.
#pragma once

#include <vector>

#include "scene/baseobject.h"
#include "world/worldfile.h"

class TGLFreeForm;
class TGLStaticImposterBuilder;
class TTRVSector;
class TTRVWorld;

// The model a placement names (child k of its theme's object root), or null when the theme or
// the object is not loaded.
TGLFreeForm* PlacementMaster(const TTRVWorld& world, const TTRVPlacement& p);
// The object's kind (tree, building, ...), or -1 when it is not loaded.
int PlacementKind(const TTRVWorld& world, const TTRVPlacement& p);

// Where the object stands in its sector's frame, before its height: x + f/16 - 0.5, z - g/16 + 0.5.
TAffineVector PlacementLocalPosition(const TTRVPlacement& p);

// Level 0: a proxy per record under the sector's proxy cube, on the interpolated ground, with
// obstacle boxes from the model's markers under the obstacle cube.
void BuildProxies(TTRVSector& sector, const std::vector<TTRVPlacement>& list);
// Whether objects of the kind are seen from afar: trees, buildings and imposter objects are;
// grass and small obstacles only at full detail.
bool HasImposter(int kind);
// Levels 1 and 2: an imposter per record of a kind that has one under `cube`, lifted by the
// record's lift above the height of its vertex.
void BuildImposters(TTRVSector& sector, const std::vector<TTRVPlacement>& list, TGLDummyCube& cube,
                    TGLStaticImposterBuilder& builder);

// Boxes a proxied model puts under the obstacle cube, by its kind: a tree (kind 0) one box at
// its first marker, unturned, stretched with the proxy's height; buildings and imposter
// objects (kinds 1, 4) one box per marker, turned with the proxy; other kinds none.
void AddObstacleBoxes(TGLDummyCube& obstacleCube, const TGLBaseSceneObject& proxy, const TGLBaseSceneObject& master, int kind);

// The world's two imposter builders as the sectors use them: the near one with pictures from
// three elevations, the far one at half the picture size. impostorQuality is the picture size.
void ConfigureImposterBuilders(TGLStaticImposterBuilder& nearBuilder, TGLStaticImposterBuilder& farBuilder, int impostorQuality);
