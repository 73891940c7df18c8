#pragma once

#include "settings/CaptureSettings.h"
#include "settings/SettingsFolders.h"

#include <string>

// Reading config.ini into the record and the fixed moments at which the record is written back. Every
// function takes the file's path (ConfigFilePath() in the program) and ignores write failures: the record
// in memory stays valid. Every write holds the lock auto-save takes and re-reads the file under it, so
// that programs writing config.ini at the same time keep each other's keys.

// Main frame creation: every key, once. An empty ImageSavePath becomes the documents folder plus
// "/Lumora Images", which is created on disk; an absent one the home directory.
CaptureSettings LoadCaptureSettings(
    const std::string& iniPath, const SettingsFolders& folders = SettingsFolders::FromSystem());

// Capture Setting dialog confirmed: every CaptureSet and AudoSaveSet key, with the dialog's values (the
// delay as entered; its floor applies only when loading). StartNum only when the user changed it: the
// number shown when the dialog opened may have been handed out since.
void SaveCaptureDialogSettings(
    const std::string& iniPath, const CaptureSettings& dialogValues, bool withStartNum = true);

// Define hot key dialog: the twelve hot-key values read when it opens and written when it is confirmed.
void ReadHotkeySettings(const std::string& iniPath, CaptureSettings& settings);
void SaveHotkeySettings(const std::string& iniPath, const CaptureSettings& settings);

// Main frame closing: StartNum and the three AppSet flags.
void SaveSettingsOnClose(const std::string& iniPath, const CaptureSettings& settings);

// After every auto-saved capture, so that a crash never reuses a file number.
void SaveStartNum(const std::string& iniPath, int startNum);
