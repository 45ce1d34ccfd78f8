// The forge's audio steps: sound samples, jingles and music.
#pragma once

#include <string>

#include "tools/forge/forge.h"

namespace forge {

// data/<name>.wav for every sample the game plays: 16-bit mono PCM at even loudness.
bool ForgeSounds(const ForgeContext& context, std::string& error);
// data/<name>.mp3 for the mission-end reasons and the objective motifs (needs lame).
bool ForgeJingles(const ForgeContext& context, std::string& error);
// music/*.mp3: the background tracks (needs lame); skipped in quick runs.
bool ForgeMusic(const ForgeContext& context, std::string& error);

}  // namespace forge
