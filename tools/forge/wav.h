// A small RIFF/WAVE writer: 16-bit PCM, mono or interleaved stereo, the form the game's
// sample loader and the MP3 encoder both read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/forge/synth.h"

namespace forge {

// Rounds float samples in [-1, 1] to 16 bits; anything beyond is clamped, never wrapped.
std::vector<std::int16_t> ToPcm16(const synth::Signal& samples);
// Interleaves two channels (left first); the shorter one is padded with silence.
std::vector<std::int16_t> Interleave(const synth::Signal& left, const synth::Signal& right);

// The whole file: a 44-byte header (RIFF, "fmt " of 16 bytes, "data") and the samples.
std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& interleaved, int channels, int rate);

bool WriteWav(const std::filesystem::path& path, const synth::Signal& mono, int rate, std::string& error);
bool WriteStereoWav(const std::filesystem::path& path, const synth::Signal& left, const synth::Signal& right,
                    int rate, std::string& error);

}  // namespace forge
