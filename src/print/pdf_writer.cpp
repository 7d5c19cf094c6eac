#include "print/pdf_writer.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/encoding.h"
#include "core/file_io.h"
#include "core/text.h"

namespace lodsmith {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
// Metrics of the monospaced face in em: the cell height is ascent plus
// descent, as the window's printer font is sized.
constexpr double kAscent = 0.8325;
constexpr double kDescent = 0.3003;

// Numbers in PDF syntax must not follow the user's locale.
std::string Num(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, std::round(v * 100.0) / 100.0, std::chars_format::fixed, 2);
  return std::string(buf, r.ptr);
}

std::string PdfString(const std::string& utf8) {
  std::string r = "(";
  for (char c : Utf8ToCp1252(utf8)) {
    if (c == '(' || c == ')' || c == '\\') r.push_back('\\');
    if (c == '\r') {
      r += "\\r";
      continue;
    }
    if (c == '\n') {
      r += "\\n";
      continue;
    }
    r.push_back(c);
  }
  r += ")";
  return r;
}

// The standard fonts carry the Latin Extended-A letters (Czech, Polish,
// Hungarian, ... names) beyond Windows-1252: a second pair of the same faces
// reaches them through this encoding, U+0100 + k at code 128 + k.
const char* const kLatinExtendedA =
    "/Amacron/amacron/Abreve/abreve/Aogonek/aogonek/Cacute/cacute/Ccircumflex/ccircumflex/Cdotaccent"
    "/cdotaccent/Ccaron/ccaron/Dcaron/dcaron/Dcroat/dcroat/Emacron/emacron/Ebreve/ebreve/Edotaccent/edotaccent"
    "/Eogonek/eogonek/Ecaron/ecaron/Gcircumflex/gcircumflex/Gbreve/gbreve/Gdotaccent/gdotaccent/Gcommaaccent"
    "/gcommaaccent/Hcircumflex/hcircumflex/Hbar/hbar/Itilde/itilde/Imacron/imacron/Ibreve/ibreve/Iogonek"
    "/iogonek/Idotaccent/dotlessi/IJ/ij/Jcircumflex/jcircumflex/Kcommaaccent/kcommaaccent/kgreenlandic/Lacute"
    "/lacute/Lcommaaccent/lcommaaccent/Lcaron/lcaron/Ldot/ldot/Lslash/lslash/Nacute/nacute/Ncommaaccent"
    "/ncommaaccent/Ncaron/ncaron/napostrophe/Eng/eng/Omacron/omacron/Obreve/obreve/Ohungarumlaut/ohungarumlaut"
    "/OE/oe/Racute/racute/Rcommaaccent/rcommaaccent/Rcaron/rcaron/Sacute/sacute/Scircumflex/scircumflex"
    "/Scedilla/scedilla/Scaron/scaron/Tcommaaccent/tcommaaccent/Tcaron/tcaron/Tbar/tbar/Utilde/utilde/Umacron"
    "/umacron/Ubreve/ubreve/Uring/uring/Uhungarumlaut/uhungarumlaut/Uogonek/uogonek/Wcircumflex/wcircumflex"
    "/Ycircumflex/ycircumflex/Ydieresis/Zacute/zacute/Zdotaccent/zdotaccent/Zcaron/zcaron/longs";

bool InLatinExtendedA(char16_t u) { return u >= 0x100 && u < 0x180; }

// Whether Windows-1252 holds the character (it holds a few of Latin
// Extended-A itself, which then stay in the first font).
bool InCp1252(char16_t u) {
  if (u < 0x80 || (u >= 0xA0 && u < 0x100)) return true;
  std::string utf8;
  AppendUtf16AsUtf8(utf8, &u, 1);
  return Utf8ToCp1252(utf8) != "?";
}

// The text operators of one line: runs in the Windows-1252 font and runs in
// the Latin Extended-A one; every glyph of both is one cell wide, so the runs
// follow each other as one line. Other characters print as "?".
std::string TextRuns(const std::string& utf8, bool bold, const std::string& size, bool& extendedUsed) {
  std::u16string units;
  AppendUtf8AsUtf16(units, utf8);
  std::string out, run;
  bool extended = false;
  auto flush = [&] {
    if (run.empty() && !out.empty()) return;
    const char* font = extended ? (bold ? "/F4 " : "/F3 ") : (bold ? "/F2 " : "/F1 ");
    out += font + size + " Tf ";
    if (extended) {
      out += "(";
      for (char c : run) {
        if (c == '(' || c == ')' || c == '\\') out.push_back('\\');
        out.push_back(c);
      }
      out += ") Tj ";
    } else {
      out += PdfString(run) + " Tj ";
    }
    run.clear();
  };
  for (char16_t u : units) {
    const bool wantExtended = !InCp1252(u) && InLatinExtendedA(u);
    if (wantExtended != extended) {
      flush();
      extended = wantExtended;
    }
    if (extended) {
      run.push_back(static_cast<char>(0x80 + (u - 0x100)));
      extendedUsed = true;
    } else {
      AppendUtf16AsUtf8(run, &u, 1);
    }
  }
  flush();
  return out;
}

class PdfBuilder {
public:
  // Reserves an object number for an object written later.
  int Reserve() {
    offsets_.push_back(0);
    return static_cast<int>(offsets_.size());
  }
  void Object(int number, const std::string& body) {
    offsets_[static_cast<std::size_t>(number - 1)] = out_.size();
    out_ += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
  }
  void Stream(int number, const std::string& data) {
    Object(number, "<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream");
  }
  std::string Finish(int root, int info) {
    std::size_t xref = out_.size();
    out_ += "xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t off : offsets_) {
      char line[32];
      std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
      out_ += line;
    }
    out_ += "trailer\n<< /Size " + std::to_string(offsets_.size() + 1) + " /Root " + std::to_string(root) +
            " 0 R /Info " + std::to_string(info) + " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return std::move(out_);
  }

private:
  std::string out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<std::size_t> offsets_;
};

}  // namespace

PdfPageSetup ListingPageSetup(double widthMm, double heightMm, bool landscape) {
  PdfPageSetup s;
  s.pageWidthMm = landscape ? std::max(widthMm, heightMm) : std::min(widthMm, heightMm);
  s.pageHeightMm = landscape ? std::min(widthMm, heightMm) : std::max(widthMm, heightMm);
  return s;
}

int PrintableHeightMm(const PdfPageSetup& setup) {
  return static_cast<int>(std::floor(setup.pageHeightMm - 2 * setup.originYMm + 1e-9));
}

std::string MakePdf(const std::vector<PrintPage>& pages, const PdfPageSetup& setup, const std::string& title) {
  PdfBuilder pdf;
  const int catalog = pdf.Reserve();
  const int pagesObj = pdf.Reserve();
  const int regular = pdf.Reserve();
  const int bold = pdf.Reserve();
  const int info = pdf.Reserve();

  const double em = setup.fontHeightMm / (kAscent + kDescent);
  const double fontPt = em * kPointsPerMm;
  const double widthPt = setup.pageWidthMm * kPointsPerMm;
  const double heightPt = setup.pageHeightMm * kPointsPerMm;

  std::string kids;
  std::vector<int> pageObjects, contentObjects;
  std::vector<std::string> contents;
  int extendedRegular = 0, extendedBold = 0, extendedEncoding = 0;
  for (const auto& page : pages) {
    const int pageObj = pdf.Reserve();
    const int content = pdf.Reserve();
    kids += std::to_string(pageObj) + " 0 R ";
    std::string stream;
    for (const auto& line : page.lines) {
      const double xMm = setup.originXMm + line.x / 10.0;
      const double baselineMm = setup.originYMm + line.y / 10.0 + kAscent * em;
      bool extendedUsed = false;
      const std::string runs = TextRuns(line.text, line.bold, Num(fontPt), extendedUsed);
      if (extendedUsed && extendedRegular == 0) {
        extendedRegular = pdf.Reserve();
        extendedBold = pdf.Reserve();
        extendedEncoding = pdf.Reserve();
      }
      stream +=
          "BT " + Num(xMm * kPointsPerMm) + " " + Num(heightPt - baselineMm * kPointsPerMm) + " Td " + runs + "ET\n";
    }
    pageObjects.push_back(pageObj);
    contents.push_back(std::move(stream));
    contentObjects.push_back(content);
  }
  // The fonts of every page, the Latin Extended-A pair only when a line
  // needs it (a listing in Windows-1252 stays as it always was).
  std::string fonts = "/F1 " + std::to_string(regular) + " 0 R /F2 " + std::to_string(bold) + " 0 R";
  if (extendedRegular != 0)
    fonts += " /F3 " + std::to_string(extendedRegular) + " 0 R /F4 " + std::to_string(extendedBold) + " 0 R";
  for (std::size_t i = 0; i < pageObjects.size(); ++i) {
    pdf.Object(pageObjects[i], "<< /Type /Page /Parent " + std::to_string(pagesObj) + " 0 R /MediaBox [0 0 " +
                                   Num(widthPt) + " " + Num(heightPt) + "] /Resources << /Font << " + fonts +
                                   " >> >> /Contents " + std::to_string(contentObjects[i]) + " 0 R >>");
    pdf.Stream(contentObjects[i], contents[i]);
  }
  if (extendedRegular != 0) {
    pdf.Object(extendedEncoding, std::string("<< /Type /Encoding /Differences [128 ") + kLatinExtendedA + "] >>");
    const std::string enc = " /Encoding " + std::to_string(extendedEncoding) + " 0 R >>";
    pdf.Object(extendedRegular, "<< /Type /Font /Subtype /Type1 /BaseFont /Courier" + enc);
    pdf.Object(extendedBold, "<< /Type /Font /Subtype /Type1 /BaseFont /Courier-Bold" + enc);
  }
  pdf.Object(catalog, "<< /Type /Catalog /Pages " + std::to_string(pagesObj) + " 0 R >>");
  pdf.Object(pagesObj, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>");
  pdf.Object(regular, "<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>");
  pdf.Object(bold, "<< /Type /Font /Subtype /Type1 /BaseFont /Courier-Bold /Encoding /WinAnsiEncoding >>");
  pdf.Object(info, "<< /Title " + PdfString(title) + " /Producer (Lodsmith) >>");
  return pdf.Finish(catalog, info);
}

void WritePdfFile(const std::string& path, const std::vector<PrintPage>& pages, const PdfPageSetup& setup,
                  const std::string& title) {
  WriteFileAtomic(path, MakePdf(pages, setup, title), "");
}

}  // namespace lodsmith
