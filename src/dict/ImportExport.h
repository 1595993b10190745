// Text exchange of dictionary entries.
//
// Tagged text (written and read): per entry a key line "<key>text" and a data
// line "<data>text" ("<shortkey>" and "<replacement text>" for shorthand
// dictionaries), each ending in CR LF, in the dictionary's search order. Data
// with line breaks continues on untagged lines.
//
// Word list (read only): any file; every maximal run of letters, digits, '_'
// and '-' is a word and becomes an entry without data. A run of 1024 bytes or
// more is not a word anyone typed (binary data, encoded blobs) and is skipped
// whole; the words around it are still read.
//
// All routines run on the caller's thread and report progress through an
// optional WaitProgress, which can also stop them; what was done up to a stop
// is kept. They return the number of entries handled, 0 on any failure.
#pragma once

#include <cstdint>
#include <string>

#include "dict/WaitProgress.h"

class CDictionary;


// The longest word ImportWordList takes: its word buffer holds 1024 bytes
// with the terminating NUL.
constexpr int32_t kMaxImportWordLength = 1023;

// Writes every entry of an open dictionary; returns the count written.
int32_t ExportTagged(CDictionary& dictionary, const char* filePath, WaitProgress* wait);
// Adds the entries of a tagged file; returns the count of entries read.
int32_t ImportTagged(CDictionary& dictionary, const char* filePath, WaitProgress* wait);
// Adds the words of any file; returns the count of words added.
int32_t ImportWordList(CDictionary& dictionary, const char* filePath, WaitProgress* wait);

// Word counts, one "word<TAB>count" line each (the layout of the learning
// file's export; further columns are ignored): adds the words the dictionary
// lacks and makes each count the word's commonness. A line without a word,
// a tab and a decimal count of at most 32 bits, or whose word holds control
// bytes or cannot be stored, is skipped.
struct CountImport {
  int32_t words = 0;    // lines taken
  int32_t added = 0;    // of which new entries
  int32_t skipped = 0;  // lines skipped
};
// False when the file cannot be read or the values cannot be written.
bool ImportCounts(CDictionary& dictionary, const char* filePath, CountImport& result);
