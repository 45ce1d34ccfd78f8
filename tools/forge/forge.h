// The data forge: writes every theme, texture, model, sound, jingle, music track and bitmap
// the game loads into the program folder. Deterministic: every step seeds its own generator.
#pragma once

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

namespace forge {

struct ForgeContext {
  std::filesystem::path outDir;  // the program folder (build/game)
  std::filesystem::path scratch; // a folder for intermediate files (inside the build tree)
  bool quick = false;            // tests: skip the slow parts (music)
};

// A step answers false with a message when it could not write its files.
using ForgeStep = bool (*)(const ForgeContext& context, std::string& error);

// Writes bytes to a file through a temporary file renamed into place.
bool WriteFileAtomically(const std::filesystem::path& path, const void* data, std::size_t size, std::string& error);

// A step's own generator, seeded from the step's name: adding a step never changes another's data.
std::mt19937 SeededGenerator(const std::string& stepName);

}  // namespace forge
