#include "dict/DictItem.h"

#include <algorithm>
#include <cstring>

void DictText::Reset() {
  bytes_.reset();
  capacity_ = 0;
}

void DictText::Assign(const char* bytes, size_t length, size_t capacity) {
  capacity_ = std::max(length, capacity);
  bytes_ = std::make_unique<char[]>(capacity_ + 1);  // zero-filled
  if (length > 0) std::memcpy(bytes_.get(), bytes, length);
}

namespace {

// The copy rule for one text: length + 1 bytes, never beyond the source's
// buffer.
void CopyText(const DictText& from, int32_t fromLength, DictText& to, int32_t& toLength) {
  if (from.get() == nullptr || fromLength < 1) {
    to.Assign("", 0);
    toLength = 0;
    return;
  }
  const size_t available = from.capacity() + 1;  // with the final NUL
  const size_t wanted = std::min(static_cast<size_t>(fromLength) + 1, available);
  to.Assign(from.get(), wanted, static_cast<size_t>(fromLength));
  toLength = fromLength;
}

std::string_view TextOf(const DictText& text) {
  return text.get() == nullptr ? std::string_view() : std::string_view(text.get());
}

}  // namespace

DictItem::DictItem(std::string_view keyText, std::string_view dataText, int32_t itemType)
    : type(itemType) {
  SetKey(keyText);
  SetData(dataText);
}

DictItem::DictItem(const DictItem& other) : type(other.type) {
  CopyText(other.key, other.keyLength, key, keyLength);
  CopyText(other.data, other.dataLength, data, dataLength);
}

DictItem& DictItem::operator=(const DictItem& other) {
  if (this != &other) {
    CopyText(other.key, other.keyLength, key, keyLength);
    CopyText(other.data, other.dataLength, data, dataLength);
    type = other.type;
  }
  return *this;
}

void DictItem::Clear() {
  key.Reset();
  data.Reset();
  keyLength = 0;
  dataLength = 0;
}

void DictItem::SetKey(std::string_view text) {
  if (text.empty()) {
    key.Reset();
  } else {
    key.Assign(text.data(), text.size());
  }
  keyLength = static_cast<int32_t>(text.size());
}

void DictItem::SetData(std::string_view text) {
  if (text.empty()) {
    data.Reset();
  } else {
    data.Assign(text.data(), text.size());
  }
  dataLength = static_cast<int32_t>(text.size());
}

std::string_view DictItem::Key() const { return TextOf(key); }
std::string_view DictItem::Data() const { return TextOf(data); }
