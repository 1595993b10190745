// Wildcard file search ("C:\folder\*.lib"): the files of one folder whose
// names match the pattern's last part, '*' and '?' as wildcards, letters
// compared without case. Folders are not listed.
//
// Order: Windows lists them as the file system reports them; elsewhere they
// come sorted by name without case, as NTFS would report them.
// Failure: a folder that cannot be read gives an empty list.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Full paths (the pattern's folder part followed by the file name).
std::vector<std::string> FindFiles(const std::string& pattern);

}  // namespace platform
