#include "preview/png_file.h"

#include "core/file_io.h"
#include "core/message.h"
#include "preview/preview_messages.h"

// The encoder is header-only; this file is its one instance.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wshadow"
#elif defined(_MSC_VER)
#pragma warning(push, 0)
#endif
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#elif defined(_MSC_VER)
#pragma warning(pop)
#endif

namespace lodsmith {

namespace {
void Append(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
}
}  // namespace

std::string EncodePng(const RgbaImage& image) {
  std::string out;
  stbi_write_png_to_func(Append, &out, image.width, image.height, 4, image.pixels.data(), image.width * 4);
  return out;
}

void WritePng(const std::string& path, const RgbaImage& image) {
  const std::string bytes = EncodePng(image);
  try {
    WriteFileAtomic(path, bytes, "");
  } catch (const Error& e) {
    throw Error(e.message().WrappedIn(PreviewMsg::PngNotWritten, path));
  }
}

}  // namespace lodsmith
