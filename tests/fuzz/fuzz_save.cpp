// Feeds arbitrary bytes to the save reader and the stored set-up on its own: each must answer
// a save or an error, never crash; what it accepts must write back and read again to the same
// bytes, and the list's summary must call valid exactly the game saves the reader accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "game/savegame.h"
#include "world/filenames.h"
#include "world/worldinfocodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  std::string error;

  platform::ByteReader in(bytes);
  TTRVWorldInfo setup;
  if (ReadWorldInfo(in, setup, error)) {
    platform::ByteWriter out;
    if (!WriteWorldInfo(out, setup, setup.savedAt, error)) std::abort();
  } else if (error.empty()) {
    std::abort();
  }

  TTRVSaveData save;
  const TTRVExtractLoadGameData header = SaveHeaderOf(bytes);
  if (!ParseSaveFile(bytes, save, error)) {
    if (error.empty()) std::abort();
    // Only a campaign's own files may be listed without reading whole.
    if (header.valid && !header.campaignSave && !NamesCampaign(header.campaignName)) std::abort();
    return 0;
  }
  if (!header.valid || header.sideCount != static_cast<int>(save.setup.sides.size())) std::abort();
  const std::vector<std::uint8_t> written = WriteSaveFile(save, save.setup.savedAt, error);
  TTRVSaveData back;
  if (written.empty() || !ParseSaveFile(written, back, error)) std::abort();
  if (WriteSaveFile(back, back.setup.savedAt, error) != written) std::abort();
  return 0;
}
