// The addresses of the program's web pages: the help, licence and thanks pages and the start page of its
// site, by language and, outside German, by the time zone (a site nearer to the user). Portable.
#pragma once
#include <optional>
#include <string>

enum class WebPage { help, licence, thanks, programPage, startPage };

// Where the program's site is: one address for German, one for time zones within four hours of UTC, one
// for the rest of the world.
inline constexpr wchar_t kWebSiteGerman[] = L"https://tessora.example/de";
inline constexpr wchar_t kWebSiteNear[] = L"https://eu.tessora.example";
inline constexpr wchar_t kWebSiteFar[] = L"https://www.tessora.example";

// language: the interface language's index (0 German); biasMinutes: the time zone's bias as the system
// reports it, none when it cannot be read.
std::wstring WebSiteBase(int language, std::optional<long> biasMinutes);
std::wstring WebPageAddress(WebPage page, int language, std::optional<long> biasMinutes);
