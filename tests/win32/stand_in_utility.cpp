// Stands in for the simulator's conversion utility in the Windows tests:
// writes "converted <arguments>" to temp.s in the current folder, as the
// real one writes its output there.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>

int main() {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::FILE* out = ::_wfopen(L"temp.s", L"wb");
  if (!out) return 1;
  std::fputs("converted", out);
  for (int i = 1; i < argc; ++i) {
    char buf[1024] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, buf, sizeof buf - 1, nullptr, nullptr);
    std::fprintf(out, " %s", buf);
  }
  std::fclose(out);
  return 0;
}
