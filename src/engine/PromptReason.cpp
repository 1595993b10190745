#include "engine/PromptReason.h"

#include "engine/PromptReasonTexts.h"
#include "platform/CodePage.h"

namespace engine {

namespace {

struct ReasonText {
  unsigned id;
  const char* text;
};

// In the order of PromptReason::Code.
constexpr ReasonText kTexts[] = {
    {IDS_REASON_ON, TEXT_REASON_ON},
    {IDS_REASON_SWITCHED_OFF, TEXT_REASON_SWITCHED_OFF},
    {IDS_REASON_APP_RULE, TEXT_REASON_APP_RULE},
    {IDS_REASON_OTHER_APPS, TEXT_REASON_OTHER_APPS},
    {IDS_REASON_EDIT_BOX, TEXT_REASON_EDIT_BOX},
    {IDS_REASON_PASSWORD, TEXT_REASON_PASSWORD},
    {IDS_REASON_NO_WINDOW, TEXT_REASON_NO_WINDOW},
    {IDS_REASON_NO_CARET, TEXT_REASON_NO_CARET},
    {IDS_REASON_IME, TEXT_REASON_IME},
    {IDS_REASON_HIGHER_RIGHTS, TEXT_REASON_HIGHER_RIGHTS},
};

const ReasonText& Entry(PromptReason::Code code) {
  const auto index = static_cast<std::size_t>(code);
  return index < std::size(kTexts) ? kTexts[index] : kTexts[0];
}

}  // namespace

unsigned PromptReason::StringId() const { return Entry(code).id; }

// The detail goes in as it is: a string-table text is never used as a
// printf format, so a "%" in it or in an executable's name is harmless.
std::string PromptReason::Text(std::string_view format) const {
  std::string text(format);
  const std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, detail);
  return text;
}

std::string PromptReason::Text() const { return Text(Entry(code).text); }

std::string ExecutableName(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); i += platform::CharLength(path, i)) {
    if (path[i] == '\\' || path[i] == '/') start = i + 1;
  }
  return std::string(path.substr(start));
}

std::string CutText(std::string_view text, std::size_t maxBytes) {
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = end + platform::CharLength(text, end);
    if (next > maxBytes) break;
    end = next;
  }
  return std::string(text.substr(0, end));
}

}  // namespace engine
