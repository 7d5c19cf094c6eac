// The compressed form: a zlib stream of the binary (or text) body behind
// "SIMISA@F", the inflated length and "@@@@".
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/message.h"
#include "document/document_messages.h"
#include "document/shape_form_common.h"

namespace lodsmith::shape_form {

namespace {

// Inflates a zlib stream that announces `announced` bytes. The buffer grows
// with what the stream really gives, so a false length costs no memory.
std::string Inflate(std::string_view stream, std::uint32_t announced) {
  // The room is reserved and then zero-filled a slice at a time just ahead
  // of inflate, whose writes then find it in the cache.
  constexpr std::size_t kSlice = 256 * 1024;
  std::string out;
  out.reserve(std::min<std::size_t>(announced, stream.size() * 8 + 4096));
  out.resize(std::min<std::size_t>(announced, kSlice));
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw Error(DocumentMsg::FormBadStream, "init");
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
  std::size_t inLeft = stream.size();
  std::size_t produced = 0;
  int rc = Z_OK;
  while (true) {
    if (produced == out.size()) {
      if (out.size() >= announced) {
        // Full: one more byte would prove the length too small.
        char probe;
        z.next_out = reinterpret_cast<Bytef*>(&probe);
        z.avail_out = 1;
        const uInt chunk = static_cast<uInt>(std::min<std::size_t>(inLeft, 1u << 30));
        z.avail_in = chunk;
        rc = inflate(&z, Z_NO_FLUSH);
        inLeft -= chunk - z.avail_in;
        if (z.avail_out == 0) {
          inflateEnd(&z);
          throw Error(DocumentMsg::FormLengthMismatch, announced, std::to_string(announced) + "+");
        }
        break;
      }
      // Past the reserved room the string grows by doubling, so a false
      // length still costs no more than the data gives.
      out.resize(std::min<std::size_t>(announced, out.size() + kSlice));
    }
    z.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
    z.avail_out = static_cast<uInt>(std::min<std::size_t>(out.size() - produced, 1u << 30));
    const uInt chunk = static_cast<uInt>(std::min<std::size_t>(inLeft, 1u << 30));
    z.avail_in = chunk;
    const uInt before = z.avail_out;
    rc = inflate(&z, Z_NO_FLUSH);
    produced += before - z.avail_out;
    inLeft -= chunk - z.avail_in;
    if (rc == Z_STREAM_END) break;
    if (rc == Z_BUF_ERROR && inLeft == 0 && z.avail_out > 0) break;  // the stream ends early
    if (rc != Z_OK && rc != Z_BUF_ERROR) {
      const std::string why = z.msg ? z.msg : std::to_string(rc);
      inflateEnd(&z);
      throw Error(DocumentMsg::FormBadStream, why);
    }
  }
  inflateEnd(&z);
  if (rc != Z_STREAM_END) throw Error(DocumentMsg::FormTruncated, kCompressedHeaderSize + stream.size());
  if (produced != announced) throw Error(DocumentMsg::FormLengthMismatch, announced, produced);
  out.resize(produced);
  return out;
}

}  // namespace

std::string Deflate(std::string_view data) {
  std::string out;
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  out.resize(kCompressedHeaderSize + size);
  if (compress2(reinterpret_cast<Bytef*>(out.data() + kCompressedHeaderSize), &size,
                reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK)
    throw Error(DocumentMsg::FormBadStream, "compress");
  out.resize(kCompressedHeaderSize + size);
  std::memcpy(out.data(), kCompressedMagic.data(), 8);
  const auto n = static_cast<std::uint32_t>(data.size());
  for (int i = 0; i < 4; ++i) out[8 + i] = static_cast<char>(n >> (8 * i));
  std::memcpy(out.data() + 12, "@@@@", 4);
  return out;
}
// The inflated body of a compressed file, its header checked.
std::string InflateFile(std::string_view bytes) {
  if (!StartsWith(bytes, kCompressedMagic)) throw Error(DocumentMsg::FormNotThisForm);
  if (bytes.size() < kCompressedHeaderSize) throw Error(DocumentMsg::FormTruncated, bytes.size());
  if (bytes.substr(12, 4) != "@@@@") throw Error(DocumentMsg::FormNotThisForm);
  const std::uint32_t announced = ReadU32(reinterpret_cast<const unsigned char*>(bytes.data()) + 8);
  return Inflate(bytes.substr(kCompressedHeaderSize), announced);
}

}  // namespace lodsmith::shape_form
