// The program's one version number: the about box, the version resource of Tessora.exe and the names
// of the release files all take it from here. Plain defines, so the resource compiler reads them too.
#pragma once

#define TESSORA_VERSION_MAJOR 0
#define TESSORA_VERSION_MINOR 1
#define TESSORA_VERSION_PATCH 0
#define TESSORA_VERSION_TEXT "0.1.0"

#define TESSORA_WIDE_TEXT(text) L##text
#define TESSORA_WIDENED(text) TESSORA_WIDE_TEXT(text)
#define TESSORA_VERSION_TEXT_WIDE TESSORA_WIDENED(TESSORA_VERSION_TEXT)
