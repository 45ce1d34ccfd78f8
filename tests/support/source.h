// Where a test's own source file lies, for tests that read files of the repository beside it.
// Must not be used for anything the build made: that lies in the program folder.
#pragma once

#include <filesystem>

#include "platform/paths.h"

namespace testsupport {

// The file a __FILE__ names. The build may name sources relative to the build folder (ccache
// does, so that clones in other folders share its cache); the test executables sit one folder
// below the build folder, in tests/.
inline std::filesystem::path SourceFile(const char* file) {
  const std::filesystem::path path(file);
  return path.is_absolute() ? path : platform::ProgramFolder().parent_path() / path;
}

// The repository folder: the parent of tests/<subsystem>/ of the calling test's source.
inline std::filesystem::path RepositoryFolder(const char* file) {
  return SourceFile(file).parent_path().parent_path().parent_path();
}

}  // namespace testsupport
