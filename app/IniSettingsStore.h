#pragma once

#include "app/ShellSettings.h"
#include "settings/CaptureSettings.h"

#include <string>

// The frame's settings as config.ini keeps them: loaded into the record the capture routines share,
// and written back at close (StartNum and the three AppSet flags).
class IniSettingsStore : public ShellSettingsStore {
public:
    IniSettingsStore(std::string iniPath, CaptureSettings& record)
        : iniPath_(std::move(iniPath))
        , record_(record)
    {
    }

    ShellSettings Load() override;
    void SaveOnClose(const ShellSettings& settings) override;

    static ShellSettings FromRecord(const CaptureSettings& record);

private:
    std::string iniPath_;
    CaptureSettings& record_;
};
