// Settings files in the Windows private-profile format: Windows-1252 text,
// "[Section]" headers, "key=value" entries, section and key names compared
// without regard to case (FoldCase). The interface speaks UTF-8.
//
// Files saved as "Unicode" by Windows editors are read too, as Windows' own
// profile functions read them: UTF-16 little or big endian with its mark
// (FF FE, FE FF) or without one (every other byte of the first line is 0),
// and UTF-8 with its mark (EF BB BF). A rewrite keeps the file's encoding
// and mark; a new file is written in Windows-1252.
//
// Reading accepts CR LF, LF and CR line ends, mixed too; writing uses CR LF.
// A rewrite keeps every line it did not change as it was read: comments,
// lines it does not understand, blank lines and the header lines of the
// sections read (only sections the program creates get a header made from
// their name). When a file holds a section or a key twice, the first one
// answers and takes writes. Looking a name up costs the same however many
// sections and keys the file holds.
//
// Every write reaches the disk at once, unless a BatchUpdate is alive: then
// the writes made meanwhile go to disk together when it is committed (used
// where one action writes thousands of keys). A refused write raises Error
// with PlatformMsg::CannotWriteFile (the file) wrapping the reason.
#pragma once

#include <cstddef>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lodsmith {

// The encodings a settings file is read in and written back in.
enum class IniEncoding { Windows1252, Utf8, Utf16Le, Utf16Be };
struct IniTextForm {
  IniEncoding encoding = IniEncoding::Windows1252;
  bool mark = false;  // the file starts with its byte-order mark
};
// The encoding of a settings file's bytes; Windows-1252 when nothing marks
// another one (an empty file too).
IniTextForm DetectIniEncoding(std::string_view bytes);

class IniFile {
public:
  explicit IniFile(std::string path);
  // The settings of `path` read from `bytes` (the file's content, read
  // earlier) instead of the disk; for a caller that reads a file once and
  // hands it to several users. Usually made memory-only.
  IniFile(std::string path, std::string_view bytes);
  // Not copied: the name index points into the object's own section list.
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;
  IniFile(IniFile&&) = default;
  IniFile& operator=(IniFile&&) = default;

  const std::string& Path() const { return path_; }
  // The encoding the file was read in and is written in.
  IniTextForm TextForm() const { return form_; }

  // Missing file, section or key give the default.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // Decimal integer; a value that does not parse gives the default.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  // Floating-point text with the given decimal separator; the default when
  // it does not parse.
  long double ReadFloat(const std::string& section, const std::string& key, long double def,
                        char decimalSeparator) const;
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;

  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  // Written in the general format with at most 15 significant digits after
  // rounding to double precision.
  void WriteFloat(const std::string& section, const std::string& key, long double value, char decimalSeparator);
  void EraseSection(const std::string& section);

  // Re-reads the file from disk (another program may have changed it);
  // changes not yet written are dropped.
  void Reload();

  // Memory-only mode, for a file the program may not write (installed in a
  // read-only folder): writes and erasures change what later reads return
  // but never reach the disk and never fail.
  void SetMemoryOnly(bool on) { memoryOnly_ = on; }
  bool MemoryOnly() const { return memoryOnly_; }

  // Holds back the writes to disk while it is alive; batches may nest, and
  // the outermost Commit writes.
  class BatchUpdate {
  public:
    explicit BatchUpdate(IniFile& ini) : ini_(ini) { ++ini_.batchDepth_; }
    // Never writes and never throws: a batch ended without Commit (an error
    // on the way, or a caller that gave up) leaves its changes pending in
    // memory. Later reads see them, and the next write that reaches the disk
    // (a Commit, or a write outside any batch) takes them along.
    ~BatchUpdate();
    // Ends the batch; the outermost one writes every pending change now.
    // Raises Error when refused (the changes stay pending).
    void Commit();
    BatchUpdate(const BatchUpdate&) = delete;
    BatchUpdate& operator=(const BatchUpdate&) = delete;

  private:
    IniFile& ini_;
    bool ended_ = false;
  };

private:
  // A section as read: its header line, then its lines up to the last one
  // that is not blank, then the blank lines before the next header (a new
  // key goes between the two). Lines are Windows-1252 as in the file, or
  // UTF-8 for a file in a Unicode encoding.
  struct Section {
    std::string header;
    std::vector<std::string> lines;
    std::vector<std::string> blankTail;
    // The first entry of a key: where it stands, where its key text lies in
    // the line (kept when the value is replaced), and its value in UTF-8 as
    // read or as last written.
    struct Key {
      std::size_t line;
      std::size_t keyBegin, keyEnd;
      std::string value;
    };
    // Folded UTF-8 key -> its first entry.
    std::unordered_map<std::string, Key> keys;
  };
  using SectionList = std::list<Section>;

  void Load();
  void Parse(std::string_view text);
  void Flush();
  void Changed();
  Section* FindSection(const std::string& name);
  const Section* FindSection(const std::string& name) const;
  const std::string* FindValue(const std::string& section, const std::string& key) const;
  // A line's text in UTF-8, and UTF-8 text as a line of this file.
  std::string Utf8Of(std::string_view line) const;
  std::string LineOf(const std::string& utf8) const;

  std::string path_;
  IniTextForm form_;
  std::vector<std::string> preamble_;  // lines before the first section
  SectionList sections_;               // in file order
  // Folded UTF-8 name -> the first section of that name; later sections of
  // the same name (a hand-edited file) are only kept for writing back and
  // for EraseSection, which removes them all.
  std::unordered_map<std::string, SectionList::iterator> firstSection_;
  std::unordered_multimap<std::string, SectionList::iterator> laterSections_;
  int batchDepth_ = 0;
  bool dirty_ = false;
  bool memoryOnly_ = false;
};

}  // namespace lodsmith
