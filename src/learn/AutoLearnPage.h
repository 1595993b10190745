// The AutoLearn page of the Options dialog, apart from drawing: the learned
// words as the page's list shows them (the file's records, newest at the
// top), the edits a user makes to that list, and writing it back.
//
// The list is written back only when it holds every learned word: a list
// whose filling was cancelled would otherwise erase the words it never got.
//
// Threading: the user-interface thread only. No messages: the view asks its
// questions and reports failures.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "learn/AutoLearn.h"

class CAutoLearnPageModel {
 public:
  struct Row {
    std::string word;
    std::string count;  // as the list shows it: decimal text
  };

  // engine may be null: then the list operations do nothing.
  explicit CAutoLearnPageModel(CAutoLearn* engine) : m_engine(engine) {}

  // Fills the list from the learning file, each record inserted at the top.
  // keepGoing(done, total) is asked after every record; false stops the
  // filling, and the list is then not complete. Nothing happens when the
  // list was filled already.
  void FillList(const std::function<bool(std::int32_t, std::int32_t)>& keepGoing = {});
  const std::vector<Row>& Rows() const { return m_rows; }

  // An empty row at the top whose label the user is about to type.
  void AddRow();
  // The end of a label edit of `row`: a non-empty text renames the row and
  // sets its count to 1; an empty or cancelled one (text null) removes a row
  // just added and leaves any other row alone.
  void EndLabelEdit(std::size_t row, const char* text);
  // Removes the given rows (any order, duplicates ignored).
  void DeleteRows(std::vector<std::size_t> rows);
  void DeleteAllRows();

  // Appends a text file's words to the learning file and fills the list
  // again; `count` (when given) receives how many it took. False when the
  // file could not be read.
  bool Import(const std::string& path, WaitProgress* wait = nullptr, std::int32_t* count = nullptr);

  // Writes the list to the learning file, bottom row first, skipping rows
  // without a word; a count that is not a number is 0. False when the list
  // is not complete (the file is left alone) or the file could not be
  // replaced.
  bool SaveList();

  // The minimum word length as typed on the page: a whole number from
  // kMinLengthLow to kMinLengthHigh becomes minLength; anything else is
  // refused (false) and minLength stays as it was, so that the view can
  // show the range and keep the page open.
  static constexpr std::int32_t kMinLengthLow = 0;
  static constexpr std::int32_t kMinLengthHigh = 500;
  bool TakeMinLength(const std::string& text);
  std::int32_t minLength = 1;

  bool listLoaded() const { return m_listLoaded; }
  bool listComplete() const { return m_listComplete; }
  bool listChanged = false;
  bool optionsChanged = false;

 private:
  CAutoLearn* m_engine;
  std::vector<Row> m_rows;  // top of the list first
  bool m_listLoaded = false;
  bool m_listComplete = false;
  bool m_adding = false;
};
