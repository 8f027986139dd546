#include "support/faulty_copier.h"

#include "support/temp_prefix.h"

namespace brevak::testing {

int32_t FaultyCopier::CopyFile(const std::filesystem::path& from, const std::filesystem::path& to,
                               const posix::CopyProgress& progress) {
  ++calls;
  copied_from.push_back(from.filename().string());
  if (calls != fail_at) return real_.CopyFile(from, to, progress);
  const std::string content = ReadFile(from);
  WriteFile(to, content.substr(0, content.size() / 2));
  if (while_failing) while_failing();
  if (interrupt) throw Interrupted();
  return error;
}

}  // namespace brevak::testing
