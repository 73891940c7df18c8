#pragma once

#include "settings/CaptureSettings.h"

#include <QDialog>

#include <string>

class CPageBasic;
class CPageSave;
class QTabWidget;

// "Capture Setting": pages "Capture to" and "Other" over a copy of the settings. OK reads the page on
// show back and writes every CaptureSet and AudoSaveSet key to config.ini, StartNum only when the user
// changed it (captures may have taken numbers while the dialog was open); the caller copies Values() into
// its own record. Cancel changes nothing.
class CCapSettingDlg : public QDialog {
    Q_OBJECT
public:
    CCapSettingDlg(const CaptureSettings& values, std::string iniPath, QWidget* parent = nullptr);

    const CaptureSettings& Values() const { return values_; }
    CPageSave* SavePage() const { return save_; }
    CPageBasic* BasicPage() const { return basic_; }
    QTabWidget* Pages() const { return pages_; }

    // What the frame keeps of the confirmed values: view mode and delay as in memory (the delay's floor
    // applies there, not in the file).
    static void CopyInto(const CaptureSettings& values, CaptureSettings& record, bool withStartNum = true);
    bool StartNumChanged() const { return values_.StartNum != openedStartNum_; }

    void accept() override;

private:
    bool ReadPage(int index);

    CaptureSettings values_;
    int32_t openedStartNum_;
    std::string iniPath_;
    QTabWidget* pages_ = nullptr;
    CPageSave* save_ = nullptr;
    CPageBasic* basic_ = nullptr;
    int shown_ = 0;
};
