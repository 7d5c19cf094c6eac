#include "platform/native_platform.h"

#include <filesystem>

#include "core/file_io.h"
#include "platform/system_info.h"

namespace lodsmith {

char NativePlatform::DecimalSeparator() { return SystemDecimalSeparator(); }

std::string NativePlatform::ExecutablePath() { return RunningExecutablePath(); }

std::optional<std::string> NativePlatform::RegistryReadLocalMachine(const std::string& key, const std::string& value) {
  return ReadLocalMachineString(key, value);
}

bool NativePlatform::FileExists(const std::string& path) { return lodsmith::FileExists(path); }

bool NativePlatform::CanStoreFile(const std::string& path) { return lodsmith::CanStoreFile(path); }

std::string NativePlatform::UserSettingsFolder() { return UserSettingsFolderPath(); }

bool NativePlatform::CreateFolder(const std::string& path) {
  std::error_code ec;
  const auto native = std::filesystem::u8path(path);
  std::filesystem::create_directories(native, ec);
  return std::filesystem::is_directory(native, ec);
}

}  // namespace lodsmith
