#include <sys/stat.h>

#include <cstdio>
#include <string_view>

#include "common/base/gbk.h"
#include "common/base/iconv_converter.h"
#include "tarvik/maintenance/html_log.h"
#include "tarvik/maintenance/walk_platform.h"

namespace velmor {

namespace {

// The length of the UTF-8 character at the start of `text`, 0 when it is none (a stray or
// missing continuation byte, an over-long form, a surrogate, a value past U+10FFFF).
std::size_t Utf8CharacterLength(std::string_view text, uint32_t* value) {
  const unsigned char lead = static_cast<unsigned char>(text[0]);
  std::size_t length;
  uint32_t code;
  if (lead < 0x80) {
    *value = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return 0;
    code = code << 6 | (next & 0x3F);
  }
  if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
      (length == 4 && (code < 0x10000 || code > 0x10FFFF))) {
    return 0;
  }
  *value = code;
  return length;
}

bool IsUtf8(std::string_view text) {
  uint32_t value;
  for (std::size_t at = 0, length; at < text.size(); at += length) {
    if ((length = Utf8CharacterLength(text.substr(at), &value)) == 0) return false;
  }
  return true;
}

void AppendReference(uint32_t value, std::string& out) {
  char reference[16];
  std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(value));
  out += reference;
}

// A UTF-8 path in GBK, at most `limit` bytes of it, cut between characters.
std::string Utf8ForLog(std::string_view path, std::size_t limit) {
  static thread_local const IconvConverter toGbk("CP936", "UTF-8");
  std::string out;
  uint32_t value;
  for (std::size_t at = 0, length; at < path.size(); at += length) {
    length = Utf8CharacterLength(path.substr(at), &value);
    if (at + length > limit) break;
    const std::string_view character = path.substr(at, length);
    std::string gbk;
    if (length == 1) {
      out += EscapeHtml(character);
    } else if (toGbk.Convert(character, gbk) && !gbk.empty()) {
      out += gbk;
    } else {
      AppendReference(value, out);
    }
  }
  return out;
}

// A path that is no UTF-8, taken for GBK: whole characters kept, a byte that starts none
// written as the replacement character.
std::string GbkForLog(std::string_view path, std::size_t limit) {
  path = path.substr(0, GbkCutLength(path, limit));
  std::string out;
  for (std::size_t at = 0; at < path.size(); ++at) {
    const unsigned char byte = static_cast<unsigned char>(path[at]);
    if (byte < 0x80) {
      out += EscapeHtml(path.substr(at, 1));
    } else if (IsGbkLeadByte(byte) && at + 1 < path.size() &&
               static_cast<unsigned char>(path[at + 1]) >= 0x40 &&
               static_cast<unsigned char>(path[at + 1]) != 0x7F &&
               static_cast<unsigned char>(path[at + 1]) != 0xFF) {
      out += path.substr(at, 2);
      ++at;
    } else {
      AppendReference(0xFFFD, out);
    }
  }
  return out;
}

}  // namespace

FileIdentity IdentityOf(const std::string& path) {
  FileIdentity identity;
  struct stat information;
  if (::stat(path.c_str(), &information) != 0) return identity;
  identity.volume = static_cast<uint64_t>(information.st_dev);
  identity.file = static_cast<uint64_t>(information.st_ino);
  identity.known = true;
  return identity;
}

// Names here are what the file system holds, UTF-8 on any system set up for Chinese; the log
// is GBK, as the tool on Windows writes it.
std::string PathForLog(const std::string& path, std::size_t limit) {
  return IsUtf8(path) ? Utf8ForLog(path, limit) : GbkForLog(path, limit);
}

}  // namespace velmor
