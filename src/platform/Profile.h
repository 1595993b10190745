// Profile (INI) files with the observable behaviour of the Windows profile
// functions. The Windows build calls the system's functions; the posix build
// has its own implementation of the same rules:
//   - section and key names are looked up without regard to ASCII letter
//     case, with blanks around the asked-for names ignored;
//   - blanks around names and values are dropped when a file is read; a value
//     enclosed in matching single or double quotes loses the quotes;
//   - the first of duplicate sections or keys is the one that is read;
//   - a missing file reads as empty; a write creates it;
//   - buffers are filled and truncated, and lengths returned, as the Windows
//     functions do (see each function).
// Text is 8-bit; names and values are NUL-terminated strings and lists are
// double-NUL lists (strings one after another, an empty string at the end).
//
// Failure: functions return 0 / false; nothing throws. The posix writer
// replaces a file only by renaming a complete new copy over it, so a failed
// or interrupted write leaves the old file as it was.
// Threading: the posix backend keeps a small cache of parsed files guarded by
// a mutex; callers in this program use these functions on one thread.
#pragma once

#include <cstdint>

namespace platform {

// The value of key in section, or the default when the key (or the file) is
// absent; quotes around the value or the default are removed. Copies at most
// size - 1 characters and a NUL; returns the number of characters copied.
// A null key lists the key names of the section (a double-NUL list, with the
// truncation rules of ProfileGetSectionNames); a null section lists the
// section names.
std::uint32_t ProfileGetString(const char* section, const char* key,
                               const char* defaultValue, char* buffer,
                               std::uint32_t size, const char* path);

// The lines of a section as a double-NUL list of "key=value" strings (lines
// without "=" as they are, comment lines starting with ';' left out). When
// the list does not fit, the first size - 2 characters are kept, followed by
// two NULs, and size - 2 is returned. An absent section gives an empty list
// and 0. size must be at least 2.
std::uint32_t ProfileGetSection(const char* section, char* buffer,
                                std::uint32_t size, const char* path);

// All section names in file order as a double-NUL list. When they do not fit
// (or fill the buffer exactly) the last name that fits is cut and size - 2 is
// returned.
std::uint32_t ProfileGetSectionNames(char* buffer, std::uint32_t size,
                                     const char* path);

// Sets key in section to value, creating the file, the section (at the end)
// and the key (at the end of its section) as needed. A null value deletes the
// key; a null key deletes the whole section. Returns false when the file
// cannot be written.
bool ProfileWriteString(const char* section, const char* key, const char* value,
                        const char* path);

// Replaces all lines of a section with the "key=value" strings of a double-NUL
// list (strings without "=" are ignored). A null list deletes the section.
bool ProfileWriteSection(const char* section, const char* lines,
                         const char* path);

#ifndef _WIN32
// For tests of the posix writer: called after the new copy of a file is
// complete and before it replaces the old one. A hook that returns false
// abandons the save (the old file stays); one that ends the process shows
// what a crash at that moment leaves behind. Null removes the hook.
void SetProfileSaveHook(bool (*hook)(const char* path));
#endif

}  // namespace platform
