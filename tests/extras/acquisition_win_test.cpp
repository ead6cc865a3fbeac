#include "extras/acquisition_win.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <deque>
#include <optional>
#include <regex>

#include "program/settings_win.h"
#include "extras/shellIntegration_win.h"
#include "localisation/localisation_win.h"
#include "support/testSupport_win.h"

namespace {
// The acquisition service as a script: what creation, selection and each transfer answer, and what was asked.
struct Script {
    std::deque<HRESULT> creations{S_OK, S_OK}, transfers{S_OK};
    HRESULT selection = S_OK;
    std::wstring selectedId{};
    std::vector<std::wstring> files{};
    int created = 0, released = 0;
    std::vector<std::optional<std::wstring>> transferIds{};
    std::wstring folder{}, fileName{};
};

HRESULT Next(std::deque<HRESULT>& results) {
    const HRESULT result = results.empty() ? E_FAIL : results.front();
    if (!results.empty()) results.pop_front();
    return result;
}

struct StandInManager final : AcquisitionManager {
    explicit StandInManager(Script& script) : script(script) { ++script.created; }
    ~StandInManager() override { ++script.released; }
    HRESULT SelectDevice(HWND, std::wstring& deviceId) override {
        deviceId = script.selectedId;
        return script.selection;
    }
    HRESULT GetImages(HWND, const std::wstring* deviceId, const std::wstring& folder, const std::wstring& fileName,
                      std::vector<std::wstring>& paths) override {
        script.transferIds.push_back(deviceId ? std::optional(*deviceId) : std::nullopt);
        script.folder = folder;
        script.fileName = fileName;
        const HRESULT result = Next(script.transfers);
        if (SUCCEEDED(result)) paths = script.files;
        return result;
    }
    Script& script;
};

struct RecordingShellCalls final : ShellCalls {
    bool ExecuteEx(SHELLEXECUTEINFOW& info) override {
        EXPECT_EQ(info.lpVerb, nullptr);
        EXPECT_EQ(info.nShow, SW_SHOWNORMAL);
        parameters.push_back(info.lpParameters);
        return true;
    }
    std::vector<std::wstring> parameters;
};

class Acquiring : public ::testing::Test {
protected:
    void SetUp() override {
        savedIni_ = iniPath;
        iniPath = folder_.File(L"Tessora.ini");
        WriteProgramString(L"TempDir", folder_.Path().wstring());
        SetShellCalls(&shell_);
        SetAcquisitionServiceFactory([this](std::unique_ptr<AcquisitionManager>& manager) {
            const HRESULT result = Next(script_.creations);
            if (SUCCEEDED(result)) manager = std::make_unique<StandInManager>(script_);
            return result;
        });
    }
    void TearDown() override {
        SetAcquisitionServiceFactory(nullptr);
        SetShellCalls(nullptr);
        iniPath = savedIni_;
    }
    void Acquire(Script script) {
        script_ = std::move(script);
        prompt_.messages.clear();
        AcquireFromDevice(TestOwnerWindow());
        EXPECT_EQ(script_.released, script_.created);
    }
    std::wstring StoredId() const {
        wchar_t buffer[1100] = {};
        GetPrivateProfileStringW(kProgramSection, L"m_wia_DeviceID", L"<missing>", buffer, 1100, iniPath.c_str());
        return buffer;
    }

    TempFolder folder_;
    std::wstring savedIni_;
    ScriptedPrompt prompt_;
    RecordingShellCalls shell_;
    Script script_;
};
}  // namespace

TEST_F(Acquiring, MissingServiceOrFailedSelectionOnlyShowsTheNoScannerMessage) {
    for (const auto& [script, caption] :
         {std::pair{Script{.creations = {REGDB_E_CLASSNOTREG}}, L"2"}, std::pair{Script{.selection = E_FAIL}, L"1"}}) {
        Acquire(script);
        ASSERT_EQ(prompt_.messages.size(), 1u);
        EXPECT_EQ(prompt_.messages[0].owner, TestOwnerWindow());
        EXPECT_EQ(prompt_.messages[0].text, TextOf(10));
        EXPECT_EQ(prompt_.messages[0].caption, caption);
        EXPECT_EQ(prompt_.messages[0].style, static_cast<UINT>(MB_ICONEXCLAMATION));
        EXPECT_LE(script_.created, 1);
        EXPECT_TRUE(script_.transferIds.empty());
    }
    EXPECT_TRUE(shell_.parameters.empty());
}

TEST_F(Acquiring, MissingSecondManagerOrTwoFailedTransfersEndSilently) {
    Acquire(Script{.creations = {S_OK, E_OUTOFMEMORY}});
    EXPECT_TRUE(script_.transferIds.empty());

    WriteProgramString(L"m_wia_DeviceID", L"gone");
    Acquire(Script{.transfers = {E_FAIL, E_FAIL}, .selectedId = L"gone"});
    // A device that no longer exists: the second call lets the service choose one.
    EXPECT_EQ(script_.transferIds, (std::vector<std::optional<std::wstring>>{L"gone", std::nullopt}));
    EXPECT_TRUE(prompt_.messages.empty());
    EXPECT_TRUE(shell_.parameters.empty());
}

TEST_F(Acquiring, EachFileOfTheRetriedTransferStartsOneInstanceInOrder) {
    Acquire(Script{.transfers = {E_FAIL, S_OK}, .files = {L"C:\\scans\\a 1.bmp", L"C:\\scans\\a 2.bmp"}});
    EXPECT_EQ(shell_.parameters, (std::vector<std::wstring>{L"\"C:\\scans\\a 1.bmp\"", L"\"C:\\scans\\a 2.bmp\""}));
    EXPECT_EQ(script_.folder, folder_.Path().wstring() + L"\\");
    EXPECT_TRUE(std::regex_match(script_.fileName, std::wregex(LR"(\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d_Tessora_Scan_1)")));
}

TEST_F(Acquiring, ChosenDeviceIsStoredAndUsedAndSuccessStoresItAgain) {
    WriteProgramString(L"m_wia_DeviceID", L"old");
    const std::wstring device = L"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0001";
    Acquire(Script{.transfers = {E_FAIL, E_FAIL}, .selectedId = device});
    EXPECT_EQ(StoredId(), device);
    EXPECT_EQ(script_.transferIds[0], device);

    Acquire(Script{});  // a cancelled selection returns, and stores, the empty identifier
    EXPECT_EQ(StoredId(), L"");

    WritePrivateProfileStringW(kProgramSection, L"m_wia_DeviceID", nullptr, iniPath.c_str());
    Acquire(Script{.transfers = {E_FAIL, E_FAIL}});
    EXPECT_EQ(StoredId(), L"<missing>");  // an unchanged identifier is not written by the selection...
    Acquire(Script{});
    EXPECT_EQ(StoredId(), L"");  // ...but is after a successful transfer
}

TEST(AcquisitionFileName, IsTheLocalTimeWithTwoDigitFieldsAndScanNumberOne) {
    const SYSTEMTIME time{2025, 3, 0, 7, 9, 5, 4, 0};  // year, month, weekday, day, hour, minute, second, ms
    EXPECT_EQ(AcquisitionFileName(time), L"2025-03-07_09-05-04_Tessora_Scan_1");
}

// Wine registers no WIA 2.0 device manager, so the system path ends in the message.
TEST(AcquiringWithTheSystemService, UnregisteredServiceShowsCaptionTwo) {
    CoInitialize(nullptr);
    std::unique_ptr<AcquisitionManager> manager;
    ASSERT_EQ(CreateSystemAcquisitionManager(manager), REGDB_E_CLASSNOTREG);
    ScriptedPrompt prompt;
    AcquireFromDevice(TestOwnerWindow());
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].caption, L"2");
}
