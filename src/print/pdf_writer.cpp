#include "print/pdf_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cerrno>

#include "document/shape_file.h"
#include "platform/ini_file.h"

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
  for (const auto& page : pages) {
    const int pageObj = pdf.Reserve();
    const int content = pdf.Reserve();
    kids += std::to_string(pageObj) + " 0 R ";
    std::string stream;
    for (const auto& line : page.lines) {
      const double xMm = setup.originXMm + line.x / 10.0;
      const double baselineMm = setup.originYMm + line.y / 10.0 + kAscent * em;
      stream += "BT /" + std::string(line.bold ? "F2 " : "F1 ") + Num(fontPt) + " Tf " + Num(xMm * kPointsPerMm) +
                " " + Num(heightPt - baselineMm * kPointsPerMm) + " Td " + PdfString(line.text) + " Tj ET\n";
    }
    pdf.Object(pageObj, "<< /Type /Page /Parent " + std::to_string(pagesObj) + " 0 R /MediaBox [0 0 " +
                            Num(widthPt) + " " + Num(heightPt) + "] /Resources << /Font << /F1 " +
                            std::to_string(regular) + " 0 R /F2 " + std::to_string(bold) +
                            " 0 R >> >> /Contents " + std::to_string(content) + " 0 R >>");
    pdf.Stream(content, stream);
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
