// Settings files in the Windows private-profile format: Windows-1252 text,
// "[Section]" headers, "key=value" entries, CR LF line ends, section and key
// names compared without regard to case. The interface speaks UTF-8.
//
// Every write reaches the disk at once, unless a BatchUpdate is alive: then
// the writes made meanwhile go to disk together when it ends (used where one
// action writes thousands of keys). A refused write raises IoError with the
// text "In <file> kann nicht geschrieben werden".
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lodsmith {

class IniFile {
public:
  explicit IniFile(std::string path);

  const std::string& Path() const { return path_; }

  // Missing file, section or key give the default.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // Decimal integer; a value that does not parse gives the default.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  // Floating-point text with the given decimal separator; the default when
  // it does not parse.
  long double ReadFloat(const std::string& section, const std::string& key, long double def, char decimalSeparator) const;
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;

  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  // Written in the general format with at most 15 significant digits after
  // rounding to double precision.
  void WriteFloat(const std::string& section, const std::string& key, long double value, char decimalSeparator);
  void EraseSection(const std::string& section);

  // Re-reads the file from disk (another program may have changed it).
  void Reload();

  // Memory-only mode, for a file the program may not write (installed in a
  // read-only folder): writes and erasures change what later reads return
  // but never reach the disk and never fail.
  void SetMemoryOnly(bool on) { memoryOnly_ = on; }
  bool MemoryOnly() const { return memoryOnly_; }

  class BatchUpdate {
  public:
    explicit BatchUpdate(IniFile& ini) : ini_(ini) { ++ini_.batchDepth_; }
    ~BatchUpdate() noexcept(false);
    // Writes the pending changes now; throws IoError when refused.
    void Commit();
    BatchUpdate(const BatchUpdate&) = delete;
    BatchUpdate& operator=(const BatchUpdate&) = delete;

  private:
    IniFile& ini_;
    bool committed_ = false;
  };

private:
  struct Entry {
    std::string raw;   // the line as it stands in the file (cp1252), for lines we do not own
    std::string key;   // UTF-8; empty for non-entry lines
    std::string value; // UTF-8
    bool isEntry = false;
  };
  struct Section {
    std::string name;  // UTF-8
    std::vector<Entry> lines;
  };

  void Load();
  void Flush();
  Section* FindSection(const std::string& name);
  const Section* FindSection(const std::string& name) const;

  std::string path_;
  std::vector<std::string> preamble_;  // lines before the first section
  std::vector<Section> sections_;
  int batchDepth_ = 0;
  bool dirty_ = false;
  bool memoryOnly_ = false;
};

// Windows-1252 <-> UTF-8.
std::string Cp1252ToUtf8(const std::string& s);
std::string Utf8ToCp1252(const std::string& s);

}  // namespace lodsmith
