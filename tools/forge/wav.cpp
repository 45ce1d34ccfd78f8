// WAV writing for the forged sounds and for the files handed to the MP3 encoder.
#include "tools/forge/wav.h"

#include <algorithm>
#include <cmath>

#include "tools/forge/forge.h"

namespace forge {

namespace {
void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xff));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}
void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}
}  // namespace

std::vector<std::int16_t> ToPcm16(const synth::Signal& samples) {
  std::vector<std::int16_t> pcm(samples.size());
  std::transform(samples.begin(), samples.end(), pcm.begin(), [](float v) {
    const float scaled = std::clamp(v, -1.0f, 1.0f) * 32767.0f;
    return static_cast<std::int16_t>(std::lround(scaled));
  });
  return pcm;
}

std::vector<std::int16_t> Interleave(const synth::Signal& left, const synth::Signal& right) {
  const std::size_t frames = std::max(left.size(), right.size());
  synth::Signal both(frames * 2, 0.0f);
  for (std::size_t i = 0; i < left.size(); ++i) both[2 * i] = left[i];
  for (std::size_t i = 0; i < right.size(); ++i) both[2 * i + 1] = right[i];
  return ToPcm16(both);
}

std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& interleaved, int channels, int rate) {
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(interleaved.size() * 2);
  const std::uint32_t blockAlign = static_cast<std::uint32_t>(channels) * 2;
  std::vector<std::uint8_t> out;
  out.reserve(44 + dataBytes);
  PutTag(out, "RIFF");
  Put32(out, 36 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // integer PCM
  Put16(out, static_cast<std::uint32_t>(channels));
  Put32(out, static_cast<std::uint32_t>(rate));
  Put32(out, static_cast<std::uint32_t>(rate) * blockAlign);
  Put16(out, blockAlign);
  Put16(out, 16);
  PutTag(out, "data");
  Put32(out, dataBytes);
  for (std::int16_t s : interleaved) Put16(out, static_cast<std::uint16_t>(s));
  return out;
}

bool WriteWav(const std::filesystem::path& path, const synth::Signal& mono, int rate, std::string& error) {
  const std::vector<std::uint8_t> bytes = EncodeWav(ToPcm16(mono), 1, rate);
  return WriteFileAtomically(path, bytes.data(), bytes.size(), error);
}

bool WriteStereoWav(const std::filesystem::path& path, const synth::Signal& left, const synth::Signal& right,
                    int rate, std::string& error) {
  const std::vector<std::uint8_t> bytes = EncodeWav(Interleave(left, right), 2, rate);
  return WriteFileAtomically(path, bytes.data(), bytes.size(), error);
}

}  // namespace forge
