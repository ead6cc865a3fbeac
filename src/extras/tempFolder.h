// The program's temporary folder: by default "Tessora_Tmp\" in the system's temporary folder, or the
// folder the setting "TempDir" names, always written with single backslashes and one at the end.
#pragma once

#include <string>

// The folder's name inside the system's temporary folder.
inline constexpr wchar_t kTempFolderName[] = L"Tessora_Tmp\\";

// A folder path as the program uses it: slashes become backslashes, a backslash is appended and every
// run of backslashes shrinks to one; a path that then begins with a backslash gets a second one in front,
// so that a network path keeps its two.
std::wstring NormaliseFolderPath(std::wstring path);
