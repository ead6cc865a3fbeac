#include "extras/acquisition_win.h"

#include <objbase.h>
#include <oleauto.h>

#include <cwchar>
#include <utility>

#include "extras/shellIntegration_win.h"
#include "extras/tempFolder_win.h"
#include "localisation/localisation_win.h"
#include "program/settings_win.h"
#include "win/handleOwner.h"
#include "win/prompt.h"

namespace {
constexpr wchar_t kDeviceIdKey[] = L"m_wia_DeviceID";
constexpr int kNoScannerText = 10;
constexpr wchar_t kNoServiceCaption[] = L"2";
constexpr wchar_t kSelectionFailedCaption[] = L"1";
constexpr LONG kAnyDeviceType = 0;
constexpr LONG kNoFlags = 0;
// In-process server and handler, local and remote server: whichever kind the system registered.
constexpr DWORD kAnyServerKind =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
static_assert(kAnyServerKind == 0x17);

constexpr CLSID kClsidWiaDevMgr2 = {0xB6C292BC, 0x7C88, 0x41EE, {0x8B, 0x54, 0x8E, 0xC9, 0x26, 0x17, 0xE5, 0x99}};
constexpr IID kIidWiaDevMgr2 = {0x79C07CF1, 0xCBDD, 0x41EE, {0x8E, 0xC3, 0xF0, 0x00, 0x80, 0xCA, 0xDA, 0x7A}};

// The WIA 2.0 device manager as the system declares it; the toolchain's headers lack it. Only the
// methods the program calls have real parameter types; items, enumerators and callbacks are only ever
// released here, so they pass as IUnknown.
struct IWiaDevMgr2 : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE EnumDeviceInfo(LONG flags, IUnknown** enumerator) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateDevice(LONG flags, BSTR deviceId, IUnknown** rootItem) = 0;
    virtual HRESULT STDMETHODCALLTYPE SelectDeviceDlg(HWND parent, LONG deviceType, LONG flags, BSTR* deviceId,
                                                      IUnknown** rootItem) = 0;
    virtual HRESULT STDMETHODCALLTYPE SelectDeviceDlgID(HWND parent, LONG deviceType, LONG flags, BSTR* deviceId) = 0;
    virtual HRESULT STDMETHODCALLTYPE RegisterEventCallbackInterface(LONG flags, BSTR deviceId, const GUID* event,
                                                                     IUnknown* callback, IUnknown** eventObject) = 0;
    virtual HRESULT STDMETHODCALLTYPE RegisterEventCallbackProgram(LONG flags, BSTR deviceId, const GUID* event,
                                                                   BSTR fullAppName, BSTR commandLineArg, BSTR name,
                                                                   BSTR description, BSTR icon) = 0;
    virtual HRESULT STDMETHODCALLTYPE RegisterEventCallbackCLSID(LONG flags, BSTR deviceId, const GUID* event,
                                                                 const GUID* clsid, BSTR name, BSTR description,
                                                                 BSTR icon) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetImageDlg(LONG flags, BSTR deviceId, HWND parent, BSTR folder, BSTR fileName,
                                                  LONG* fileCount, BSTR** filePaths, IUnknown** item) = 0;
};

// Owns a BSTR (null stands for no text, as BSTRs allow).
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text) : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    explicit Bstr(const std::wstring* text) : value_(text ? Bstr(*text).Release() : nullptr) {}
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return value_; }
    BSTR* Out() { return &value_; }
    BSTR Release() { return std::exchange(value_, nullptr); }
    std::wstring Text() const { return value_ ? std::wstring(value_, SysStringLen(value_)) : std::wstring(); }

private:
    BSTR value_ = nullptr;
};

// The file paths GetImageDlg returns: each path is the caller's to free, and the array too.
class ReturnedPaths {
public:
    ~ReturnedPaths() {
        if (!paths_) return;
        for (LONG i = 0; i < count_; ++i) SysFreeString(paths_[i]);
        CoTaskMemFree(paths_);
    }
    LONG* Count() { return &count_; }
    BSTR** Out() { return &paths_; }
    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> texts;
        for (LONG i = 0; paths_ && i < count_; ++i) {
            texts.emplace_back(paths_[i] ? std::wstring(paths_[i], SysStringLen(paths_[i])) : std::wstring());
        }
        return texts;
    }

private:
    LONG count_ = 0;
    BSTR* paths_ = nullptr;
};

class SystemAcquisitionManager final : public AcquisitionManager {
public:
    explicit SystemAcquisitionManager(IWiaDevMgr2* manager) : manager_(manager) {}
    ~SystemAcquisitionManager() override = default;
    SystemAcquisitionManager(const SystemAcquisitionManager&) = delete;
    SystemAcquisitionManager& operator=(const SystemAcquisitionManager&) = delete;

    HRESULT SelectDevice(HWND owner, std::wstring& deviceId) override {
        Bstr chosen;
        ComObject<IUnknown> rootItem;
        const HRESULT result = manager_->SelectDeviceDlg(owner, kAnyDeviceType, kNoFlags, chosen.Out(), rootItem.Out());
        deviceId = chosen.Text();
        return result;
    }

    HRESULT GetImages(HWND owner, const std::wstring* deviceId, const std::wstring& folder,
                      const std::wstring& fileName, std::vector<std::wstring>& paths) override {
        Bstr device(deviceId);
        Bstr folderText(folder);
        Bstr fileText(fileName);
        ReturnedPaths returned;
        ComObject<IUnknown> item;
        const HRESULT result = manager_->GetImageDlg(kNoFlags, device.Get(), owner, folderText.Get(), fileText.Get(),
                                                     returned.Count(), returned.Out(), item.Out());
        if (SUCCEEDED(result)) paths = returned.Texts();
        return result;
    }

private:
    ComObject<IWiaDevMgr2> manager_;
};

AcquisitionServiceFactory& InstalledFactory() {
    static AcquisitionServiceFactory factory;
    return factory;
}

HRESULT CreateManager(std::unique_ptr<AcquisitionManager>& manager) {
    manager.reset();
    const HRESULT result = InstalledFactory() ? InstalledFactory()(manager) : CreateSystemAcquisitionManager(manager);
    return SUCCEEDED(result) && !manager ? E_POINTER : result;
}

void ShowNoScannerMessage(HWND owner, const wchar_t* caption) {
    CurrentPrompt().ShowMessage(owner, TextOf(kNoScannerText), caption, MB_ICONEXCLAMATION);
}
}  // namespace

HRESULT CreateSystemAcquisitionManager(std::unique_ptr<AcquisitionManager>& manager) {
    IWiaDevMgr2* created = nullptr;
    const HRESULT result =
        CoCreateInstance(kClsidWiaDevMgr2, nullptr, kAnyServerKind, kIidWiaDevMgr2, reinterpret_cast<void**>(&created));
    if (FAILED(result) || !created) return FAILED(result) ? result : E_POINTER;
    manager = std::make_unique<SystemAcquisitionManager>(created);
    return result;
}

void SetAcquisitionServiceFactory(AcquisitionServiceFactory factory) { InstalledFactory() = std::move(factory); }

std::wstring AcquisitionFileName(const SYSTEMTIME& time) {
    wchar_t name[64] = {};
    swprintf(name, sizeof(name) / sizeof(name[0]), L"%04d-%02d-%02d_%02d-%02d-%02d_Tessora_Scan_%d", time.wYear,
             time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, 1);
    return name;
}

void AcquireFromDevice(HWND owner) {
    CoInitialize(nullptr);  // the program keeps COM for the rest of its life
    std::unique_ptr<AcquisitionManager> selecting;
    if (FAILED(CreateManager(selecting))) {
        ShowNoScannerMessage(owner, kNoServiceCaption);
        return;
    }
    const std::wstring previousId = ReadProgramString(kDeviceIdKey);
    std::wstring chosenId;
    if (FAILED(selecting->SelectDevice(owner, chosenId))) {
        ShowNoScannerMessage(owner, kSelectionFailedCaption);
        return;
    }
    if (chosenId != previousId) WriteProgramString(kDeviceIdKey, chosenId);

    // The selecting manager stays alive until the transfer is over.
    std::unique_ptr<AcquisitionManager> transferring;
    const HRESULT created = CreateManager(transferring);
    const std::wstring folder = TempFolderPath();
    if (FAILED(created)) return;

    SYSTEMTIME now = {};
    GetLocalTime(&now);
    const std::wstring fileName = AcquisitionFileName(now);
    const std::wstring deviceId = ReadProgramString(kDeviceIdKey);
    std::vector<std::wstring> paths;
    // A stored device that no longer exists fails the first transfer; without an id the service lets the
    // user choose again.
    if (FAILED(transferring->GetImages(owner, &deviceId, folder, fileName, paths)) &&
        FAILED(transferring->GetImages(owner, nullptr, folder, fileName, paths))) {
        return;
    }
    WriteProgramString(kDeviceIdKey, deviceId);
    for (const std::wstring& path : paths) StartInstance(L"\"" + path + L"\"");
}
