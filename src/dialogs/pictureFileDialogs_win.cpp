#include "dialogs/pictureFileDialogs_win.h"

#include <dlgs.h>

#include <array>

#include "imagefiles/pictureFormats.h"
#include "localisation/localisation_win.h"
#include "win/prompt.h"

namespace {

// The types in the order the dialogs list them. saveExtension is null for types that are only read.
struct FileType {
    const wchar_t* name;
    const wchar_t* patterns;
    PictureFormat format;
    const wchar_t* saveExtension;
};
constexpr std::array<FileType, 8> kFileTypes{{
    {L"BMP", L"*.BMP;*.DIB", PictureFormat::bmp, L".bmp"},
    {L"PNG", L"*.PNG", PictureFormat::png, L".png"},
    {L"JPEG", L"*.JPG;*.JPEG;*.JPE;*.JFIF", PictureFormat::jpeg, L".jpg"},
    {L"GIF", L"*.GIF", PictureFormat::gif, L".gif"},
    {L"EMF", L"*.EMF", PictureFormat::none, nullptr},
    {L"WMF", L"*.WMF", PictureFormat::none, nullptr},
    {L"TIFF", L"*.TIF;*.TIFF", PictureFormat::tiff, L".tif"},
    {L"ICO", L"*.ICO", PictureFormat::none, nullptr},
}};

constexpr DWORD kPngSaveIndex = 2;
constexpr wchar_t kDefaultExtension[] = L"png";

// The type saved under save filter index `index` (1-based); null for none.
const FileType* SaveTypeAt(DWORD index) {
    DWORD position = 0;
    for (const FileType& type : kFileTypes)
        if (type.saveExtension && ++position == index) return &type;
    return nullptr;
}

// The extension (with its dot) is one the dialogs list, or one the writers know.
bool IsPictureExtension(std::wstring_view extension) {
    if (extension.size() < 2) return false;
    for (const FileType& type : kFileTypes) {
        std::wstring_view patterns = type.patterns;
        while (!patterns.empty()) {
            const size_t end = patterns.find(L';');
            const std::wstring_view pattern = patterns.substr(0, end);
            // "*.EXT": the star stands for the name.
            if (pattern.size() > 1 && EqualsIgnoringAsciiCase(pattern.substr(1), extension)) return true;
            if (end == std::wstring_view::npos) break;
            patterns.remove_prefix(end + 1);
        }
    }
    return FormatEntryOf(extension) != nullptr;
}

void AppendEntry(std::wstring& filter, std::wstring_view label, std::wstring_view patterns) {
    filter.append(label);
    filter.push_back(L'\0');
    filter.append(patterns);
    filter.push_back(L'\0');
}

void AppendTypeEntry(std::wstring& filter, const FileType& type) {
    AppendEntry(filter, std::wstring(type.name) + L" (" + type.patterns + L")", type.patterns);
}

// Copies name into a file buffer of kPictureFileNameLength characters; false when it does not fit, which
// leaves the buffer empty rather than holding the start of some other name.
bool FillFileBuffer(wchar_t* buffer, std::wstring_view name) {
    buffer[0] = L'\0';
    if (name.size() >= kPictureFileNameLength) return false;
    name.copy(buffer, name.size());
    buffer[name.size()] = L'\0';
    return true;
}

}  // namespace

std::wstring OpenFilter(const std::wstring& allPicturesLabel) {
    std::wstring all;
    for (const FileType& type : kFileTypes) {
        if (!all.empty()) all.push_back(L';');
        all += type.patterns;
    }
    std::wstring filter;
    AppendEntry(filter, allPicturesLabel, all);
    for (const FileType& type : kFileTypes) AppendTypeEntry(filter, type);
    filter.push_back(L'\0');
    return filter;
}

std::wstring SaveFilter() {
    std::wstring filter;
    for (const FileType& type : kFileTypes)
        if (type.saveExtension) AppendTypeEntry(filter, type);
    filter.push_back(L'\0');
    return filter;
}

DWORD SaveFilterIndexOf(std::wstring_view path) {
    const PictureFormatEntry* entry = FormatEntryOf(path);
    if (!entry) return 0;
    DWORD position = 0;
    for (const FileType& type : kFileTypes) {
        if (!type.saveExtension) continue;
        ++position;
        if (type.format == entry->format) return position;
    }
    return 0;
}

SaveDialogStart SaveDialogStartFor(std::wstring_view path, DWORD pickedIndex) {
    const FileType* picked = SaveTypeAt(pickedIndex);
    if (!picked) {
        pickedIndex = kPngSaveIndex;
        picked = SaveTypeAt(pickedIndex);
    }
    if (path.empty()) return {std::wstring(), pickedIndex};
    if (const DWORD index = SaveFilterIndexOf(path)) return {std::wstring(path), index};
    return {std::wstring(path) + picked->saveExtension, pickedIndex};
}

std::wstring NameForSaveType(std::wstring_view typed, DWORD filterIndex) {
    const FileType* type = SaveTypeAt(filterIndex);
    if (!type || typed.empty()) return std::wstring(typed);
    const std::wstring_view extension = ExtensionOf(typed);
    const bool replace = extension == L"." || IsPictureExtension(extension);
    std::wstring name(replace ? WithoutExtension(typed) : typed);
    return name + type->saveExtension;
}

bool ChoosePictureToOpen(HWND owner, std::wstring& path) {
    static OPENFILENAMEW record = [] {
        OPENFILENAMEW initial{};
        initial.lStructSize = sizeof(initial);
        initial.nFilterIndex = 1;
        initial.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
        initial.lpstrDefExt = kDefaultExtension;
        return initial;
    }();
    // Built each time: the label follows the current language.
    static std::wstring filter;
    filter = OpenFilter(TextOf(kTextAllPictureFiles));
    wchar_t buffer[kPictureFileNameLength] = {};
    record.hwndOwner = owner;
    record.lpstrFilter = filter.c_str();
    record.lpstrFile = buffer;
    record.nMaxFile = kPictureFileNameLength;
    const bool chosen = CurrentPrompt().ChooseOpenFile(record);
    record.lpstrFile = nullptr;  // the buffer ends with this call
    record.nMaxFile = 0;
    buffer[kPictureFileNameLength - 1] = L'\0';
    if (!chosen || buffer[0] == L'\0') return false;
    path = buffer;
    return true;
}

bool ChoosePictureToSave(HWND owner, std::wstring& path) {
    static OPENFILENAMEW record = [] {
        OPENFILENAMEW initial{};
        initial.lStructSize = sizeof(initial);
        initial.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_OVERWRITEPROMPT;
        initial.lpstrDefExt = kDefaultExtension;
        initial.lpfnHook = SaveDialogHook;
        return initial;
    }();
    static const std::wstring filter = SaveFilter();
    // The type the user picked last in this dialog, for names that bring none of their own.
    static DWORD pickedIndex = 0;
    const SaveDialogStart start = SaveDialogStartFor(path, pickedIndex);
    wchar_t buffer[kPictureFileNameLength];
    // A name too long for the dialog starts without the appended extension (the default extension adds
    // it), and one that does not fit at all starts empty instead of cut short.
    if (!FillFileBuffer(buffer, start.name)) FillFileBuffer(buffer, path);
    record.hwndOwner = owner;
    record.lpstrFilter = filter.c_str();
    record.nFilterIndex = start.filterIndex;
    record.lpstrFile = buffer;
    record.nMaxFile = kPictureFileNameLength;
    const bool chosen = CurrentPrompt().ChooseSaveFile(record);
    if (record.nFilterIndex != start.filterIndex) pickedIndex = record.nFilterIndex;
    record.lpstrFile = nullptr;
    record.nMaxFile = 0;
    buffer[kPictureFileNameLength - 1] = L'\0';
    if (!chosen || buffer[0] == L'\0') return false;
    path = buffer;
    return true;
}

UINT_PTR CALLBACK SaveDialogHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) return 0;
    const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (!notify || notify->hdr.code != CDN_TYPECHANGE || !notify->lpOFN) return 0;
    // The hook's window is a child of the dialog itself, which answers the CDM_ messages.
    HWND dialog = GetParent(child);
    if (!dialog) return 0;
    wchar_t typed[kPictureFileNameLength] = {};
    const LRESULT needed = CommDlg_OpenSave_GetSpecW(dialog, typed, static_cast<int>(kPictureFileNameLength));
    // Nothing typed, or a name longer than the buffer: leave the field as the user left it.
    if (needed <= 1 || needed > static_cast<LRESULT>(kPictureFileNameLength)) return 0;
    typed[kPictureFileNameLength - 1] = L'\0';
    const std::wstring name = NameForSaveType(typed, notify->lpOFN->nFilterIndex);
    if (name == typed) return 0;
    // Older dialogs name the field edt1, newer ones the combo box cmb13.
    CommDlg_OpenSave_SetControlText(dialog, edt1, name.c_str());
    CommDlg_OpenSave_SetControlText(dialog, cmb13, name.c_str());
    return 0;
}
