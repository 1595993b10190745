#include "output/MacroTyper.h"

#include <cstdio>

#include "output/ClipboardKeeper.h"
#include "output/SendKeystroke.h"
#include "platform/CodePage.h"

namespace output {
namespace {

// Table indexes.
enum Token {
  kDate = 0,
  kTime24 = 1,
  kTime12 = 2,
  kYear = 3,
  kMonth = 4,
  kMonth02 = 5,
  kMonthName = 6,
  kFullMonthName = 7,
  kDay = 8,
  kDay02 = 9,
  kWeek = 10,
  kWeekName = 11,
  kFullWeekName = 12,
  kHour24 = 13,
  kHour2402 = 14,
  kHour12 = 15,
  kHour1202 = 16,
  kMinute = 17,
  kMinute02 = 18,
  kSecond = 19,
  kSecond02 = 20,
  kCaret = 21,
  kFirstKeyToken = 22,
};

// Keys of the key tokens, from index kFirstKeyToken on.
constexpr std::uint8_t kTokenKeys[] = {kVkUp,     kVkDown,  kVkPrior, kVkNext, kVkBack,
                                       kVkReturn, kVkDelete, kVkHome, kVkEnd,  kVkTab};
static_assert(kFirstKeyToken + sizeof kTokenKeys == MacroTyper::kTokenCount);

const char* const kMonthNames[12] = {"January", "February", "March",     "April",
                                     "May",     "June",     "July",      "August",
                                     "September", "October", "November", "December"};
const char* const kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};

// A field brought into [0, count), so that a clock with odd values still
// names a month or a day.
int Wrap(int value, int count) {
  int r = value % count;
  return r < 0 ? r + count : r;
}

std::string Number(long long value, bool twoDigits) {
  char text[32];
  std::snprintf(text, sizeof text, twoDigits ? "%02lld" : "%lld", value);
  return text;
}

int Hour12(const std::tm& when) {
  int h = Wrap(when.tm_hour, 24) % 12;
  return h == 0 ? 12 : h;
}

std::string Abbreviation(const char* name) { return std::string(name, 3); }

bool IsSingleByteText(std::string_view piece, std::size_t& characters) {
  characters = 0;
  for (std::size_t pos = 0; pos < piece.size(); ++characters) {
    pos += platform::CharLength(piece, pos);
  }
  return characters == piece.size();
}

}  // namespace

const char* const MacroTyper::kTokens[kTokenCount + 1] = {
    "%DATE%",        "%TIME_24%",     "%TIME_12%",  "%YEAR%",        "%MONTH%",
    "%MONTH_02%",    "%MONTHNAME%",   "%FULLMONTHNAME%", "%DAY%",    "%DAY_02%",
    "%WEEK%",        "%WEEKNAME%",    "%FULLWEEKNAME%",  "%HOUR_24%", "%HOUR_24_02%",
    "%HOUR_12%",     "%HOUR_12_02%",  "%MINUTE%",   "%MINUTE_02%",   "%SECOND%",
    "%SECOND_02%",   "%CARET%",       "%UP%",       "%DOWN%",        "%PGUP%",
    "%PGDN%",        "%BACKSPACE%",   "%RETURN%",   "%DELETE%",      "%HOME%",
    "%END%",         "%TAB%",         ""};

std::tm MacroTyper::LocalTime() {
  std::time_t now = std::time(nullptr);
  std::tm when = {};
#ifdef _WIN32
  localtime_s(&when, &now);
#else
  localtime_r(&now, &when);
#endif
  return when;
}

MacroTyper::MacroTyper() : MacroTyper(platform::SystemKeyboard(), platform::SystemClipboard()) {}

MacroTyper::MacroTyper(platform::KeyboardOutput& keyboard, platform::Clipboard& clipboard,
                       Clock clock)
    : m_keyboard(keyboard), m_clipboard(clipboard), m_clock(std::move(clock)) {}

int MacroTyper::FindToken(std::string_view candidate) {
  for (int i = 0; kTokens[i][0] != '\0'; ++i) {
    if (candidate == kTokens[i]) return i;
  }
  return -1;
}

// Written as the C runtime's default locale writes them, never the user's:
// a shorthand expands the same way on every machine.
std::string MacroTyper::FormatToken(int index, const std::tm& when) {
  const long long year = static_cast<long long>(when.tm_year) + 1900;
  const int month = Wrap(when.tm_mon, 12);
  const int weekday = Wrap(when.tm_wday, 7);
  const int hour = Wrap(when.tm_hour, 24);
  switch (index) {
    case kDate:
      return Number(month + 1, true) + "/" + Number(when.tm_mday, true) + "/" +
             Number(Wrap(static_cast<int>(year % 100), 100), true);
    case kTime24:
      return Number(hour, true) + ":" + Number(when.tm_min, true) + ":" +
             Number(when.tm_sec, true);
    case kTime12:
      return Number(Hour12(when), true) + ":" + Number(when.tm_min, true) + ":" +
             Number(when.tm_sec, true) + (hour < 12 ? " AM" : " PM");
    case kYear: return Number(year, false);
    case kMonth: return Number(month + 1, false);
    case kMonth02: return Number(month + 1, true);
    case kMonthName: return Abbreviation(kMonthNames[month]);
    case kFullMonthName: return kMonthNames[month];
    case kDay: return Number(when.tm_mday, false);
    case kDay02: return Number(when.tm_mday, true);
    case kWeek: return Number(weekday, false);
    case kWeekName: return Abbreviation(kDayNames[weekday]);
    case kFullWeekName: return kDayNames[weekday];
    case kHour24: return Number(hour, false);
    case kHour2402: return Number(hour, true);
    case kHour12: return Number(Hour12(when), false);
    case kHour1202: return Number(Hour12(when), true);
    case kMinute: return Number(when.tm_min, false);
    case kMinute02: return Number(when.tm_min, true);
    case kSecond: return Number(when.tm_sec, false);
    case kSecond02: return Number(when.tm_sec, true);
    default: return {};
  }
}

// The clock is read anew for each token, so a text with several tokens may
// straddle a second (or midnight); each token is still a true reading.
std::string MacroTyper::ExpandToken(std::string_view token) const {
  int index = FindToken(token);
  if (index < 0 || index >= kCaret) return {};
  return FormatToken(index, m_clock ? m_clock() : LocalTime());
}

// Scans for '%' pairs from left to right. When the text between a pair is no
// token, its closing '%' may open the next one ("50% off %DATE%"), so the
// scan goes on from there. Literal runs are kept even when empty, so a token
// is always preceded by the text before it.
void MacroTyper::Parse(std::string text) {
  if (text.empty()) return;
  pieces.clear();
  const std::size_t npos = std::string::npos;
  std::size_t start = 0;
  std::size_t open = text.find('%');
  if (open == npos) {
    pieces.push_back(std::move(text));
    return;
  }
  while (open != npos) {
    std::size_t close = text.find('%', open + 1);
    if (close == npos) {
      pieces.push_back(text.substr(start));
      return;
    }
    std::string_view candidate(text.data() + open, close - open + 1);
    if (FindToken(candidate) < 0) {
      open = close;
      continue;
    }
    pieces.push_back(text.substr(start, open - start));
    std::string value = ExpandToken(candidate);
    pieces.push_back(value.empty() ? std::string(candidate) : std::move(value));
    start = close + 1;
    open = text.find('%', start);
    if (open == npos) pieces.push_back(text.substr(start));
  }
}

// `count` follows the caret from the first "%CARET%" to the end of the typed
// text: keys and characters that move it right add, Backspace takes one
// away. A double-byte character is one caret step, and so is a CR LF pair,
// which is typed as one Enter.
int MacroTyper::TypeOut(platform::WindowHandle targetWindow) {
  bool marked = false;
  long long count = 0;
  for (const std::string& piece : pieces) {
    int token = FindToken(piece);
    if (token == kCaret) {
      marked = true;
      continue;
    }
    if (token >= kFirstKeyToken) {
      std::uint8_t key = kTokenKeys[token - kFirstKeyToken];
      SendKeystroke(m_keyboard, 0, key);
      if (marked && (key == kVkReturn || key == kVkTab)) ++count;
      if (marked && key == kVkBack) --count;
      continue;
    }

    std::size_t characters = 0;
    bool singleByte = IsSingleByteText(piece, characters);
    if (marked) count += static_cast<long long>(characters);
    if (piece.empty()) continue;
    if (!singleByte) {
      if (m_keeper) {
        m_keeper->PasteText(piece, targetWindow);
      } else {
        ClipboardKeeper keeper(m_clipboard, m_keyboard);
        keeper.PasteText(piece, targetWindow);
      }
      continue;
    }
    for (std::size_t i = 0; i < piece.size(); ++i) {
      SendKeystroke(m_keyboard, piece[i], 0);
      if (piece[i] == '\r' && i + 1 < piece.size() && piece[i + 1] == '\n') {
        ++i;
        if (marked) --count;
      }
    }
  }
  for (long long i = 0; marked && i < count; ++i) SendKeystroke(m_keyboard, 0, kVkLeft);
  return 1;
}

}  // namespace output
