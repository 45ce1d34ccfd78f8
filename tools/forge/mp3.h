// MP3 output of the forge: jingles and music are rendered to a WAV in the scratch folder and
// encoded by the system's lame program, run as a child process (no MP3 code of our own).
#pragma once

#include <filesystem>
#include <string>

#include "tools/forge/forge.h"
#include "tools/forge/synth.h"

namespace forge {

// Encodes wav into mp3 at 128 kbit/s, through a temporary file renamed into place. The
// encoder is looked up on PATH; a missing encoder is reported by name with its package.
bool EncodeMp3(const std::filesystem::path& wav, const std::filesystem::path& mp3, std::string& error,
               const std::string& encoder = "lame");

// Writes outDir/relative (an .mp3 path) from a mono signal, or a stereo one when right is given.
bool ForgeMp3(const ForgeContext& context, const std::filesystem::path& relative, const synth::Signal& left,
              const synth::Signal* right, int rate, std::string& error);

}  // namespace forge
