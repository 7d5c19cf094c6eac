#include "win32/win32_print.h"

#include <winspool.h>

#include "core/native_file.h"
#include "print/print_layout.h"

namespace lodsmith {

namespace {

// The default printer's name; empty when there is none.
std::wstring DefaultPrinterName() {
  DWORD size = 0;
  ::GetDefaultPrinterW(nullptr, &size);
  if (size == 0) return {};
  std::wstring name(size, L'\0');
  if (!::GetDefaultPrinterW(name.data(), &size)) return {};
  name.resize(size > 0 ? size - 1 : 0);
  return name;
}

// A printer dc of the printer's own default settings, turned as asked.
HDC PrinterDc(const std::wstring& name, bool landscape) {
  HANDLE printer = nullptr;
  if (!::OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &printer, nullptr)) return nullptr;
  const LONG size = ::DocumentPropertiesW(nullptr, printer, const_cast<wchar_t*>(name.c_str()), nullptr, nullptr, 0);
  HDC dc = nullptr;
  if (size > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(size));
    auto* mode = reinterpret_cast<DEVMODEW*>(buffer.data());
    if (::DocumentPropertiesW(nullptr, printer, const_cast<wchar_t*>(name.c_str()), mode, nullptr, DM_OUT_BUFFER) ==
        IDOK) {
      mode->dmFields |= DM_ORIENTATION;
      mode->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
      dc = ::CreateDCW(L"WINSPOOL", name.c_str(), nullptr, mode);
    }
  }
  ::ClosePrinter(printer);
  return dc;
}

HFONT ListingFont(bool bold) {
  // A positive height asks for the character cell (ascent + descent), which
  // is what the listing's pitch was laid out for.
  return ::CreateFontW(kListingFontHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
}

}  // namespace

POINT ListingToDevice(int x, int y, int dpiX, int dpiY) {
  // 254 tenths of a millimetre to the inch.
  return POINT{::MulDiv(x, dpiX, 254), ::MulDiv(y, dpiY, 254)};
}

bool SetListingMapping(HDC dc) {
  if (!::SetMapMode(dc, MM_ANISOTROPIC)) return false;
  ::SetWindowExtEx(dc, 254, 254, nullptr);
  ::SetViewportExtEx(dc, ::GetDeviceCaps(dc, LOGPIXELSX), ::GetDeviceCaps(dc, LOGPIXELSY), nullptr);
  ::SetWindowOrgEx(dc, 0, 0, nullptr);
  ::SetViewportOrgEx(dc, 0, 0, nullptr);
  return true;
}

void DrawListingPage(HDC dc, const PrintPage& page) {
  HFONT regular = ListingFont(false);
  HFONT bold = ListingFont(true);
  HGDIOBJ old = ::SelectObject(dc, regular);
  ::SetBkMode(dc, OPAQUE);
  ::SetBkColor(dc, RGB(255, 255, 255));
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  for (const auto& line : page.lines) {
    ::SelectObject(dc, line.bold ? bold : regular);
    const std::wstring text = Widen(line.text);
    ::TextOutW(dc, line.x, line.y, text.c_str(), static_cast<int>(text.size()));
  }
  ::SelectObject(dc, old);
  ::DeleteObject(regular);
  ::DeleteObject(bold);
}

PrinterInfo GdiDefaultPrinter(bool landscape) {
  PrinterInfo info;
  const std::wstring name = DefaultPrinterName();
  if (name.empty()) return info;
  HDC dc = PrinterDc(name, landscape);
  if (!dc) return info;
  info.available = true;
  // VERTSIZE is the printable height in millimetres.
  info.printableHeightMm = ::GetDeviceCaps(dc, VERTSIZE);
  ::DeleteDC(dc);
  return info;
}

bool GdiPrintPages(const std::vector<PrintPage>& pages, bool landscape, const std::string& jobName) {
  const std::wstring name = DefaultPrinterName();
  if (name.empty()) return false;
  HDC dc = PrinterDc(name, landscape);
  if (!dc) return false;
  const std::wstring job = Widen(jobName);
  DOCINFOW doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = job.c_str();
  bool ok = ::StartDocW(dc, &doc) > 0;
  for (std::size_t i = 0; ok && i < pages.size(); ++i) {
    ok = ::StartPage(dc) > 0;
    // Each page starts with the device's own mapping again.
    ok = ok && SetListingMapping(dc);
    if (ok) DrawListingPage(dc, pages[i]);
    ok = ok && ::EndPage(dc) > 0;
  }
  if (ok)
    ok = ::EndDoc(dc) > 0;
  else
    ::AbortDoc(dc);
  ::DeleteDC(dc);
  return ok;
}

}  // namespace lodsmith
