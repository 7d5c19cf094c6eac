#include "print/pdf_writer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/encoding.h"
#include "core/file_io.h"
#include "core/text.h"
#include "print/pdf_font.h"

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

// A text of the document information: Windows-1252 when it holds it (as
// it always was), else UTF-16 with its byte-order mark.
std::string InfoString(const std::string& utf8) {
  if (Cp1252ToUtf8(Utf8ToCp1252(utf8)) == utf8) return PdfString(utf8);
  std::u16string units;
  AppendUtf8AsUtf16(units, utf8);
  std::string hex = "<FEFF";
  char buf[8];
  for (char16_t u : units) {
    std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(u));
    hex += buf;
  }
  return hex + ">";
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

// Which font a run of a line is drawn in.
enum class RunFont { Cp1252, LatinExtendedA, Embedded };

// The characters of a UTF-8 text (a lone surrogate stands for itself).
std::vector<char32_t> CodePoints(const std::string& utf8) {
  std::u16string units;
  AppendUtf8AsUtf16(units, utf8);
  std::vector<char32_t> chars;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t u = units[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      chars.push_back(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      chars.push_back(u);
    }
  }
  return chars;
}

// The text operators of one line: runs in the Windows-1252 font, runs in
// the Latin Extended-A one and runs in the embedded face (`face`, named
// `faceFont`; none when no face was found); every glyph of all three is one
// cell wide, so the runs follow each other as one line. Characters that none
// of them has print as "?".
std::string TextRuns(const std::string& utf8, bool bold, const std::string& size, bool& extendedUsed,
                     PdfEmbeddedFace* face, const char* faceFont) {
  std::string out, run;
  RunFont current = RunFont::Cp1252;
  auto flush = [&] {
    if (run.empty() && !out.empty()) return;
    switch (current) {
      case RunFont::Cp1252: out += (bold ? "/F2 " : "/F1 ") + size + " Tf " + PdfString(run) + " Tj "; break;
      case RunFont::LatinExtendedA:
        out += (bold ? "/F4 " : "/F3 ") + size + " Tf (";
        for (char c : run) {
          if (c == '(' || c == ')' || c == '\\') out.push_back('\\');
          out.push_back(c);
        }
        out += ") Tj ";
        break;
      case RunFont::Embedded: out += faceFont + (" " + size) + " Tf <" + run + "> Tj "; break;
    }
    run.clear();
  };
  for (char32_t c : CodePoints(utf8)) {
    RunFont want = RunFont::Cp1252;
    if (c < 0x10000 && InCp1252(static_cast<char16_t>(c)))
      want = RunFont::Cp1252;
    else if (c < 0x10000 && InLatinExtendedA(static_cast<char16_t>(c)))
      want = RunFont::LatinExtendedA;
    else if (face && face->Draws(c))
      want = RunFont::Embedded;
    if (want != current) {
      flush();
      current = want;
    }
    switch (want) {
      case RunFont::Cp1252:
        if (c < 0x10000 && InCp1252(static_cast<char16_t>(c))) {
          const char16_t u = static_cast<char16_t>(c);
          AppendUtf16AsUtf8(run, &u, 1);
        } else {
          run.push_back('?');
        }
        break;
      case RunFont::LatinExtendedA:
        run.push_back(static_cast<char>(0x80 + (c - 0x100)));
        extendedUsed = true;
        break;
      case RunFont::Embedded: run += face->Code(c); break;
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
  return MakePdf(pages, setup, title, InstalledListingFonts());
}

std::string MakePdf(const std::vector<PrintPage>& pages, const PdfPageSetup& setup, const std::string& title,
                    const ListingFonts& fonts) {
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
  // The embedded faces (regular, bold) and their objects, reserved when a
  // line first needs one.
  PdfEmbeddedFace faces[2] = {
      {fonts.regular, "DejaVuSansMono"},
      {fonts.bold.Valid() ? fonts.bold : fonts.regular, fonts.bold.Valid() ? "DejaVuSansMono-Bold" : "DejaVuSansMono"}};
  const char* const faceFonts[2] = {"/F5", "/F6"};
  std::array<int, PdfEmbeddedFace::kObjectCount> faceObjects[2] = {};
  for (const auto& page : pages) {
    const int pageObj = pdf.Reserve();
    const int content = pdf.Reserve();
    kids += std::to_string(pageObj) + " 0 R ";
    std::string stream;
    for (const auto& line : page.lines) {
      const double xMm = setup.originXMm + line.x / 10.0;
      const double baselineMm = setup.originYMm + line.y / 10.0 + kAscent * em;
      bool extendedUsed = false;
      const int f = line.bold && fonts.bold.Valid() ? 1 : 0;
      PdfEmbeddedFace* face = fonts.regular.Valid() || f == 1 ? &faces[f] : nullptr;
      const std::string runs = TextRuns(line.text, line.bold, Num(fontPt), extendedUsed, face, faceFonts[f]);
      if (extendedUsed && extendedRegular == 0) {
        extendedRegular = pdf.Reserve();
        extendedBold = pdf.Reserve();
        extendedEncoding = pdf.Reserve();
      }
      if (face && face->Used() && faceObjects[f][0] == 0)
        for (int& number : faceObjects[f]) number = pdf.Reserve();
      stream +=
          "BT " + Num(xMm * kPointsPerMm) + " " + Num(heightPt - baselineMm * kPointsPerMm) + " Td " + runs + "ET\n";
    }
    pageObjects.push_back(pageObj);
    contents.push_back(std::move(stream));
    contentObjects.push_back(content);
  }
  // The fonts of every page, the Latin Extended-A pair only when a line
  // needs it (a listing in Windows-1252 stays as it always was).
  std::string fontNames = "/F1 " + std::to_string(regular) + " 0 R /F2 " + std::to_string(bold) + " 0 R";
  if (extendedRegular != 0)
    fontNames += " /F3 " + std::to_string(extendedRegular) + " 0 R /F4 " + std::to_string(extendedBold) + " 0 R";
  for (int f = 0; f < 2; ++f)
    if (faceObjects[f][0] != 0)
      fontNames += " " + std::string(faceFonts[f]) + " " + std::to_string(faceObjects[f][0]) + " 0 R";
  for (std::size_t i = 0; i < pageObjects.size(); ++i) {
    pdf.Object(pageObjects[i], "<< /Type /Page /Parent " + std::to_string(pagesObj) + " 0 R /MediaBox [0 0 " +
                                   Num(widthPt) + " " + Num(heightPt) + "] /Resources << /Font << " + fontNames +
                                   " >> >> /Contents " + std::to_string(contentObjects[i]) + " 0 R >>");
    pdf.Stream(contentObjects[i], contents[i]);
  }
  if (extendedRegular != 0) {
    pdf.Object(extendedEncoding, std::string("<< /Type /Encoding /Differences [128 ") + kLatinExtendedA + "] >>");
    const std::string enc = " /Encoding " + std::to_string(extendedEncoding) + " 0 R >>";
    pdf.Object(extendedRegular, "<< /Type /Font /Subtype /Type1 /BaseFont /Courier" + enc);
    pdf.Object(extendedBold, "<< /Type /Font /Subtype /Type1 /BaseFont /Courier-Bold" + enc);
  }
  for (int f = 0; f < 2; ++f) {
    if (faceObjects[f][0] == 0) continue;
    const auto bodies = faces[f].Objects(faceObjects[f]);
    for (std::size_t k = 0; k < bodies.size(); ++k) pdf.Object(faceObjects[f][k], bodies[k]);
  }
  pdf.Object(catalog, "<< /Type /Catalog /Pages " + std::to_string(pagesObj) + " 0 R >>");
  pdf.Object(pagesObj, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>");
  pdf.Object(regular, "<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>");
  pdf.Object(bold, "<< /Type /Font /Subtype /Type1 /BaseFont /Courier-Bold /Encoding /WinAnsiEncoding >>");
  pdf.Object(info, "<< /Title " + InfoString(title) + " /Producer (Lodsmith) >>");
  return pdf.Finish(catalog, info);
}

void WritePdfFile(const std::string& path, const std::vector<PrintPage>& pages, const PdfPageSetup& setup,
                  const std::string& title) {
  WriteFileAtomic(path, MakePdf(pages, setup, title), "");
}

}  // namespace lodsmith
