// Writing a preview picture as a PNG file.
#pragma once

#include <string>

#include "preview/raster.h"

namespace lodsmith {

// The image encoded as PNG (8-bit RGBA).
std::string EncodePng(const RgbaImage& image);

// Writes the image to `path` atomically (core/file_io.h), keeping no
// backup. Raises Error (PreviewMsg::PngNotWritten wrapping the file
// system's fault) when it cannot be written; a file already there is then
// left as it was.
void WritePng(const std::string& path, const RgbaImage& image);

}  // namespace lodsmith
