// The machine-facing half of the platform interface that every front end on
// a real machine answers the same way: regional settings, the running
// program's path, the registry and the file system. The Qt window and the
// batch program derive from it and add their own dialogs, cursor and
// printing.
#pragma once

#include "platform/platform.h"

namespace lodsmith {

class NativePlatform : public Platform {
public:
  char DecimalSeparator() override;
  std::string ExecutablePath() override;
  std::optional<std::string> RegistryReadLocalMachine(const std::string& key, const std::string& value) override;
  bool FileExists(const std::string& path) override;
  bool CanStoreFile(const std::string& path) override;
  std::string UserSettingsFolder() override;
  bool CreateFolder(const std::string& path) override;
};

}  // namespace lodsmith
