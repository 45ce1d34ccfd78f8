// Feeds arbitrary bytes to the world file reader: it must answer records or an error, never
// crash; whatever it accepts must write back and read again unchanged, and every sector
// record must read the same again from its offset, as sectors do from the world stream.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "world/worldfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  TTRVWorldFileData records;
  std::string error;
  std::vector<std::size_t> offsets;
  if (!ParseWorldFile(bytes, records, error, &offsets)) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (!WorldDataFault(records).empty() || offsets.size() != records.sectors.size()) std::abort();
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    TTRVSectorRecord again;
    if (!ReadSectorRecord(bytes, offsets[i], again, error) || !(again == records.sectors[i])) std::abort();
  }
  const std::vector<std::uint8_t> written = WriteWorldFile(records);
  TTRVWorldFileData back;
  if (written.empty() || !ParseWorldFile(written, back, error) || !(back == records)) std::abort();
  return 0;
}
