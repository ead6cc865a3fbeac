// Acquiring pictures from a scanner or camera through Windows Image Acquisition 2.0: the user picks a
// device, the service writes the pictures into the temporary folder, and each file opens in a new
// instance of the program. The service's device manager sits behind a small interface tests replace.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One device manager of the acquisition service; destroying it releases it.
class AcquisitionManager {
public:
    virtual ~AcquisitionManager() = default;
    // The device selection dialog. On success (a cancel is one too) `deviceId` holds the chosen
    // identifier, empty when none was chosen.
    virtual HRESULT SelectDevice(HWND owner, std::wstring& deviceId) = 0;
    // The image transfer dialog; a null `deviceId` lets the service choose the device. On success `paths`
    // holds the written files in the service's order.
    virtual HRESULT GetImages(HWND owner, const std::wstring* deviceId, const std::wstring& folder,
                              const std::wstring& fileName, std::vector<std::wstring>& paths) = 0;
};

// Creates a device manager: its result, and the manager when that result is a success.
using AcquisitionServiceFactory = std::function<HRESULT(std::unique_ptr<AcquisitionManager>& manager)>;
// The system's device manager (CoCreateInstance of the WIA 2.0 device manager, any server kind).
HRESULT CreateSystemAcquisitionManager(std::unique_ptr<AcquisitionManager>& manager);
// The factory in force: the system's unless a test installed another (an empty one restores it).
void SetAcquisitionServiceFactory(AcquisitionServiceFactory factory);

// "yyyy-mm-dd_hh-mm-ss_Tessora_Scan_1": the service appends its own extension and numbering.
std::wstring AcquisitionFileName(const SYSTEMTIME& time);

// Command 205: device selection, transfer into the temporary folder and one new instance per file. A
// missing service or a failed selection is told to the user (owned by `owner`); a failed transfer is not.
void AcquireFromDevice(HWND owner);
