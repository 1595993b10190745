// CaretTracker: what accessibility events do to the caret and the focus, what
// the main window is told, where the prompt goes, which windows are typing ones.
#include "output/CaretTracker.h"

#include <gtest/gtest.h>

#include "OutputFakes.h"

namespace {

using output::AccessibleEvent;
using output::CaretTracker;
using output::ScreenPoint;
using output::ScreenRect;
using platform::WindowHandle;
using Calls = std::vector<std::string>;

std::string Left(WindowHandle w) { return "left:" + std::to_string(w); }
std::string Entered(WindowHandle w) { return "entered:" + std::to_string(w); }

class Caret : public ::testing::Test {
 public:
  Caret() {
    tracker.SetOwner(&owner);
    desktop.foreground = app;
    desktop.SetRect(app, ScreenRect{10, 20, 311, 221});
    desktop.SetRect(other, ScreenRect{0, 0, 100, 100});
  }

  void Focus(WindowHandle w, std::uint32_t role = 42 /* editable text */, bool roleOk = true,
             std::uint32_t event = output::kEventObjectFocus) {
    tracker.OnAccessibleEvent({.event = event, .window = w, .roleOk = roleOk, .role = role});
  }
  void CaretAt(WindowHandle w, int left, int top, int width, int height,
               std::uint32_t event = output::kEventObjectLocationChange, bool locationOk = true) {
    tracker.OnAccessibleEvent({.event = event, .window = w, .objectId = output::kObjIdCaret,
                               .locationOk = locationOk, .left = left, .top = top,
                               .width = width, .height = height});
  }
  void AddEditRule(const std::string& editId, int workOn) {
    AppRule rule;
    rule.strSection = "APP" + std::to_string(config.appRules.size() + 1);
    rule.strEditId = editId;
    rule.bWorkOn = workOn;
    config.appRules.push_back(rule);
  }

  output_test::FakeDesktop desktop;
  WindowHandle main = desktop.Add("#32770");
  WindowHandle mainList = desktop.Add("SysListView32", main, 1001);
  WindowHandle app = desktop.Add("Notepad");
  WindowHandle edit = desktop.Add("Edit", app, 15);
  WindowHandle other = desktop.Add("Other");
  WindowHandle otherEdit = desktop.Add("Edit", other, 3);
  WindowHandle second = desktop.Add("Edit", app, 16);
  platform::sim::SimProcesses processes;
  CConfig config{desktop.windows, processes};
  output_test::FakeWord word;
  output_test::RecordingOwner owner{main};
  CaretTracker tracker{desktop.windows, desktop, config, &word};
};

// --- caret events -----------------------------------------------------------------

// A location of no caret, or a caret event without one, changes nothing.
// Without an owner nothing is reported but the caret is kept.
TEST_F(Caret, CaretEventStoresTheRectangleAndMovesThePrompt) {
  CaretAt(edit, 100, 200, 2, 16, output::kEventObjectLocationChange, false);
  tracker.OnAccessibleEvent({.event = output::kEventObjectLocationChange, .window = edit,
                             .objectId = output::kObjIdWindow, .locationOk = true, .left = 5,
                             .width = 5});
  EXPECT_EQ(tracker.caretWindow, 0u);
  EXPECT_EQ(tracker.caretRight, 0);
  EXPECT_TRUE(owner.calls.empty());
  tracker.SetOwner(nullptr);
  CaretAt(edit, 100, 200, 2, 16);
  Focus(edit);
  EXPECT_EQ(tracker.caretWindow, edit);
  const ScreenRect stored{tracker.caretLeft, tracker.caretTop, tracker.caretRight,
                          tracker.caretBottom};
  EXPECT_EQ(stored, (ScreenRect{100, 200, 102, 216}));
  EXPECT_EQ(tracker.focusWindow, 0u);
  EXPECT_TRUE(owner.calls.empty());
  EXPECT_EQ(tracker.GetCaretPoint(), (ScreenPoint{0, 0}));
  // A menu still clears the focus, silently.
  tracker.focusWindow = edit;
  Focus(app, output::kRoleMenuPopup);
  EXPECT_EQ(tracker.focusWindow, 0u);
  EXPECT_TRUE(owner.calls.empty());
  tracker.SetOwner(&owner);
  CaretAt(edit, 100, 200, 2, 16);
  EXPECT_EQ(owner.calls, Calls{"reposition"});
}

// --- the caret point ---------------------------------------------------------------

// The prompt goes five pixels below the caret of the focused window; for a
// caret elsewhere it goes to the foreground window's centre (halves
// truncated), and for one in our own window nowhere.
TEST_F(Caret, CaretPointFollowsTheFocusedWindowsCaret) {
  struct Case {
    const char* name;
    WindowHandle Caret::*focus;
    WindowHandle Caret::*caret;
    ScreenRect caretRect;  // left, top, width, height
    ScreenPoint point;
  };
  const Case cases[] = {
      {"focused window", &Caret::edit, &Caret::edit, {100, 200, 2, 16}, {102, 221}},
      {"foreground window itself", &Caret::app, &Caret::app, {40, 50, 1, 10}, {41, 65}},
      {"background window", &Caret::edit, &Caret::otherEdit, {100, 200, 2, 16}, {160, 125}},
      {"foreground, not focused", &Caret::second, &Caret::edit, {100, 200, 2, 16}, {160, 125}},
      {"our own window", &Caret::edit, &Caret::mainList, {100, 200, 2, 16}, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Focus(this->*c.focus);
    const ScreenRect& r = c.caretRect;
    CaretAt(this->*c.caret, r.left, r.top, r.right, r.bottom);
    EXPECT_EQ(tracker.caretWindow, this->*c.caret);
    EXPECT_EQ(tracker.GetCaretPoint(), c.point);
  }
  // Our own window is found at the end of the parent chain.
  EXPECT_EQ(tracker.TopLevelOf(desktop.Add("Static", edit, 1)), app);
  EXPECT_EQ(tracker.TopLevelOf(app), app);
  EXPECT_EQ(tracker.TopLevelOf(0), 0u);
}

TEST_F(Caret, CentreOfTheForegroundWindowWorksOnEveryScreen) {
  Focus(edit);
  CaretAt(otherEdit, 0, 0, 1, 1);
  desktop.SetRect(app, ScreenRect{-1001, -500, -100, 0});
  // (-1001 + 901/2, -500 + 500/2) = (-551, -250).
  EXPECT_EQ(tracker.GetCaretPoint(), (ScreenPoint{-551, -245}));
  EXPECT_GT(desktop.threadCaretQueries, 0);  // the focused window's own caret was asked
  desktop.foreground = 0;  // no rectangle: only the five pixels
  EXPECT_EQ(tracker.GetCaretPoint(), (ScreenPoint{0, 5}));
}

// --- Word ----------------------------------------------------------------------------

// A Word document is a typing window (with an owner) and the prompt goes
// below Word's selection; without Word there is only the five pixels.
TEST_F(Caret, InWordTheSelectionDecides) {
  WindowHandle document = desktop.Add("_WwG", app);
  Focus(document);
  EXPECT_EQ(tracker.GetCaretPoint(), (ScreenPoint{0, 5}));
  EXPECT_EQ(word.queries, 1);
  tracker.SetOwner(nullptr);
  EXPECT_FALSE(tracker.IsTypingWindow());
  tracker.SetOwner(&owner);
  EXPECT_TRUE(tracker.IsTypingWindow());
  word.running = true;
  word.selection = ScreenPoint{300, 400};
  CaretAt(document, 1, 1, 1, 1);  // whatever Word reports is not used
  EXPECT_EQ(tracker.GetCaretPoint(), (ScreenPoint{300, 405}));
  EXPECT_EQ(word.queries, 2);

  CaretTracker noWord(desktop.windows, desktop, config, nullptr);
  noWord.SetOwner(&owner);
  noWord.focusWindow = document;
  EXPECT_EQ(noWord.GetCaretPoint(), (ScreenPoint{0, 5}));
}

// --- focus -----------------------------------------------------------------------------

// The focus is stored only after the owner was told. The same window again
// and windows inside our own are not reported; a menu takes the focus away,
// so that returning counts as entering again.
TEST_F(Caret, FocusMovingToAnotherWindowIsReportedLeftThenEntered) {
  owner.tracker = &tracker;
  Focus(edit);
  Focus(otherEdit);
  EXPECT_EQ(owner.focusDuringEnter, edit);
  for (WindowHandle w : {otherEdit, main, mainList}) Focus(w);
  EXPECT_EQ(tracker.focusWindow, otherEdit);
  Focus(app, output::kRoleMenuItem);
  EXPECT_EQ(tracker.focusWindow, 0u);
  Focus(otherEdit);
  EXPECT_EQ(tracker.focusWindow, otherEdit);
  // A caret created or shown in another window moves the focus there; one
  // that only moves does not.
  CaretAt(edit, 1, 2, 1, 16, output::kEventObjectCreate);
  EXPECT_EQ(tracker.focusWindow, edit);
  CaretAt(otherEdit, 1, 2, 1, 16, output::kEventObjectShow);
  CaretAt(edit, 1, 2, 1, 16);
  EXPECT_EQ(tracker.focusWindow, otherEdit);
  EXPECT_EQ(owner.calls, (Calls{Left(0), Entered(edit), Left(edit), Entered(otherEdit),
                                Left(otherEdit), Entered(0), Left(0), Entered(otherEdit),
                                "reposition", Left(otherEdit), Entered(edit), "reposition",
                                Left(edit), Entered(otherEdit), "reposition"}));
}

TEST_F(Caret, MenuLikeRolesAloneClearTheFocus) {
  for (std::uint32_t role : {2u, 11u, 12u, 21u, 23u, 57u}) {
    Focus(edit);
    Focus(otherEdit, role);
    EXPECT_EQ(tracker.focusWindow, 0u) << "role " << role;
  }
  Focus(edit);
  Focus(edit, 9);  // a window
  EXPECT_EQ(tracker.focusWindow, edit);
  Focus(otherEdit, output::kRoleMenuItem, true, output::kEventObjectShow);
  EXPECT_EQ(tracker.focusWindow, edit);
  // A menu role that could not be read is an ordinary focus event.
  Focus(otherEdit, output::kRoleMenuItem, false);
  EXPECT_EQ(tracker.focusWindow, otherEdit);
}

// --- the system's GUI-thread caret --------------------------------------------------------

// It is asked again as it moves, until the window sends caret events.
TEST_F(Caret, ThreadCaretStandsInWhenTheFocusedWindowSentNoCaretEvent) {
  desktop.SetThreadCaret(edit, ScreenRect{50, 60, 51, 76});
  Focus(edit);
  EXPECT_EQ(tracker.GetCaretPoint(), (ScreenPoint{51, 81}));
  EXPECT_EQ(tracker.caretWindow, edit);
  EXPECT_TRUE(tracker.IsTypingWindow());
  desktop.SetThreadCaret(edit, ScreenRect{58, 60, 59, 76});
  EXPECT_EQ(tracker.GetCaretPoint(), (ScreenPoint{59, 81}));
  CaretAt(edit, 100, 200, 2, 16);
  const int queries = desktop.threadCaretQueries;
  EXPECT_EQ(tracker.GetCaretPoint(), (ScreenPoint{102, 221}));
  EXPECT_EQ(desktop.threadCaretQueries, queries);
}

// --- typing windows -----------------------------------------------------------------------

// A window that has shown a caret is one; an edit-box rule on the window or
// on its dialog decides whatever the caret; a password box never is one.
TEST_F(Caret, TypingWindowsAreThoseThatShowedACaretOrAreListed) {
  Focus(edit);
  EXPECT_FALSE(tracker.IsTypingWindow());
  CaretAt(edit, 1, 1, 1, 1);
  EXPECT_TRUE(tracker.IsTypingWindow());
  Focus(otherEdit);
  EXPECT_FALSE(tracker.IsTypingWindow());
  CaretAt(otherEdit, 1, 1, 1, 1);
  tracker.focusWindow = 0xDEAD;  // no (longer a) window, so no class
  EXPECT_FALSE(tracker.IsTypingWindow());
  AddEditRule("Edit#15", 1);
  AddEditRule("edit#3", 0);  // letter case does not matter
  AddEditRule("#32770#0", 0);
  Focus(otherEdit);
  EXPECT_FALSE(tracker.IsTypingWindow());
  WindowHandle dialog = desktop.Add("#32770", 0, 0);
  WindowHandle box = desktop.Add("Edit", dialog, 7);
  Focus(box);
  CaretAt(box, 1, 1, 1, 1);
  EXPECT_FALSE(tracker.IsTypingWindow());
  Focus(edit);
  EXPECT_TRUE(tracker.IsTypingWindow());  // no caret seen
  desktop.SetPassword(edit);
  desktop.SetThreadCaret(edit, ScreenRect{50, 60, 51, 76});
  CaretAt(edit, 1, 1, 1, 1);
  EXPECT_FALSE(tracker.IsTypingWindow());
}

}  // namespace
