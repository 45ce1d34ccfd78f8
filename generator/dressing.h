// The last stages that dress the land: forests and their trees, reconciling each vertex's
// climate theme with its terrain class (plus the open sea and the removal of tiny islets),
// and the grass flags. The pieces with rules of their own are exposed for the tests.
#pragma once

#include "generator/genstate.h"
#include "generator/progress.h"
#include "platform/random.h"

void PlantForests(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress);
// Trees on the forest cells, given the threshold the forest was drawn with and the noise
// field it was drawn from (state.noiseField): a tree is likelier near the threshold.
void PlantTrees(TTRVGenState& state, int threshold, platform::RandomGenerator& rng, TTRVGenProgress& progress);

void SolveThemes(TTRVGenState& state, TTRVGenProgress& progress);
// Land ringed by sea within a square of side 4..9 vertices sinks into the sea.
void RemoveIslets(TTRVGenState& state);

void GrowGrass(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress);
// Grass flags from state.noiseField: on open ground of a theme with grass objects, likelier
// on low ground and where the noise is high.
void SowGrass(TTRVGenState& state, platform::RandomGenerator& rng, TTRVGenProgress& progress);
