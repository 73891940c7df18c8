#include "app/FrameSettingsCommands.h"

#include "app/CCapSettingDlg.h"
#include "app/CDefHotKeyDlg.h"
#include "app/DesktopIntegration.h"

FrameSettingsCommands::FrameSettingsCommands(QWidget& frame, ShellSettings& shell, CaptureSettings& record,
    std::string iniPath, std::function<DesktopIntegration*()> desktop)
    : frame_(frame)
    , shell_(shell)
    , record_(record)
    , iniPath_(std::move(iniPath))
    , desktop_(std::move(desktop))
{
}

void FrameSettingsCommands::RunCaptureSetting()
{
    CCapSettingDlg dialog(record_, iniPath_, &frame_);
    if (dialog.exec() == QDialog::Accepted)
        CCapSettingDlg::CopyInto(dialog.Values(), record_, dialog.StartNumChanged());
}

void FrameSettingsCommands::RunDefineHotkey()
{
    DesktopIntegration* desktop = desktop_();
    desktop->UnregisterHotKeys();
    CDefHotKeyDlg dialog(
        iniPath_, [desktop](HotKeyPair pair) { return desktop->IsHotKeyHeldElsewhere(pair); }, &frame_);
    if (desktop->Route() == DesktopIntegration::HotKeyRoute::DesktopSettings)
        dialog.ShowCommandsToBind();
    else if (desktop->Route() == DesktopIntegration::HotKeyRoute::Portal)
        dialog.ShowDesktopDecides();
    if (dialog.exec() == QDialog::Accepted) {
        for (size_t i = 0; i < shell_.hotKeys.size(); ++i) {
            shell_.hotKeys[i] = dialog.Values()[i];
            record_.Hotkeys[i] = { dialog.Values()[i].key, dialog.Values()[i].mask };
        }
    }
    if (shell_.enableHotkey)
        desktop->RegisterHotKeys();
}
