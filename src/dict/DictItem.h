// DictItem: one dictionary entry as it goes into a dictionary or comes out of
// a lookup. Its texts are 8-bit text in the ANSI code page, NUL-terminated,
// owned by the item; copies are deep.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

enum : int32_t {
  DICT_TYPE_WORDS = 1,      // word/phrase dictionary
  DICT_TYPE_SHORTHAND = 2,  // shorthand dictionary
};

// A NUL-terminated byte buffer that may be absent. The buffer can be longer
// than the text (zero-filled), because a lookup may report a length that
// counts the terminating NUL.
class DictText {
 public:
  DictText() = default;
  DictText(DictText&&) noexcept = default;
  DictText& operator=(DictText&&) noexcept = default;
  DictText(const DictText&) = delete;
  DictText& operator=(const DictText&) = delete;

  // nullptr when absent.
  const char* get() const { return bytes_.get(); }
  operator const char*() const { return bytes_.get(); }
  // Bytes the buffer holds before its final NUL.
  size_t capacity() const { return capacity_; }

  void Reset();
  // Copies length bytes into a zero-filled buffer of max(length, capacity)
  // bytes plus a final NUL.
  void Assign(const char* bytes, size_t length, size_t capacity = 0);

 private:
  std::unique_ptr<char[]> bytes_;
  size_t capacity_ = 0;
};

struct DictItem {
  DictText key;
  int32_t keyLength = 0;  // bytes, without the NUL
  DictText data;
  int32_t dataLength = 0;
  int32_t type = DICT_TYPE_WORDS;  // the type of the dictionary it came from

  DictItem() = default;
  // An item holding copies of key and data (data absent when empty).
  explicit DictItem(std::string_view key, std::string_view data = {},
                    int32_t type = DICT_TYPE_WORDS);
  // Copies keyLength + 1 bytes of the key and dataLength + 1 bytes of the
  // data; a length below 1 or an absent text gives an empty text of length 0.
  DictItem(const DictItem& other);
  DictItem& operator=(const DictItem& other);
  DictItem(DictItem&&) noexcept = default;
  DictItem& operator=(DictItem&&) noexcept = default;

  // Frees both texts; lengths become 0. The type stays.
  void Clear();
  void SetKey(std::string_view text);
  void SetData(std::string_view text);

  // The texts up to their terminating NUL; empty when absent.
  std::string_view Key() const;
  std::string_view Data() const;
};
