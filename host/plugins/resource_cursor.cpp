#include "host/plugins/resource_formats.h"

namespace qx::host::resfmt {

bool Cursor::take(size_t count) {
  if (!ok_ || pos_ > size_ || count > size_ - pos_) {
    ok_ = false;
    return false;
  }
  return true;
}

uint16_t Cursor::u16() {
  if (!take(2)) return 0;
  const uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
  pos_ += 2;
  return v;
}

uint32_t Cursor::u32() {
  const uint32_t low = u16();
  const uint32_t high = u16();
  return low | (high << 16);
}

uint64_t Cursor::u64() {
  const uint64_t low = u32();
  const uint64_t high = u32();
  return low | (high << 32);
}

uint16_t Cursor::peekU16() const {
  if (!ok_ || pos_ > size_ || size_ - pos_ < 2) return 0;
  return static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
}

void Cursor::skip(size_t count) {
  if (take(count)) pos_ += count;
}

void Cursor::alignTo4(size_t base) {
  if (!ok_ || pos_ < base) return;
  const size_t padding = (4 - (pos_ - base) % 4) % 4;
  // Padding at the very end of the bytes is allowed to be missing.
  pos_ = pos_ + padding <= size_ ? pos_ + padding : size_;
}

std::string Cursor::utf16z() {
  std::u16string units;
  for (;;) {
    const uint16_t unit = u16();
    if (!ok_ || unit == 0) break;
    units.push_back(static_cast<char16_t>(unit));
  }
  return utf16ToUtf8(units);
}

std::string Cursor::utf16(size_t count) {
  if (count > remaining() / 2) {
    ok_ = false;
    return {};
  }
  std::u16string units;
  units.reserve(count);
  for (size_t i = 0; i < count; ++i) units.push_back(static_cast<char16_t>(u16()));
  return utf16ToUtf8(units);
}

NameOrId readNameOrId(Cursor& cursor) {
  NameOrId result;
  if (cursor.peekU16() == 0xFFFF) {
    cursor.u16();
    result.isId = true;
    result.id = cursor.u16();
    return result;
  }
  result.name = cursor.utf16z();
  return result;
}

std::string utf16ToUtf8(const std::u16string& units) {
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t cp = units[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace qx::host::resfmt
