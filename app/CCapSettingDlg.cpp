#include "app/CCapSettingDlg.h"

#include "app/CPageBasic.h"
#include "app/CPageSave.h"
#include "settings/SettingsStore.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

CCapSettingDlg::CCapSettingDlg(const CaptureSettings& values, std::string iniPath, QWidget* parent)
    : QDialog(parent)
    , values_(values)
    , openedStartNum_(values.StartNum)
    , iniPath_(std::move(iniPath))
{
    setObjectName("dialog187");
    setWindowTitle("Capture Setting");
    auto* layout = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    save_ = new CPageSave(values_, pages_);
    basic_ = new CPageBasic(values_, pages_);
    pages_->addTab(save_, "Capture to");
    pages_->addTab(basic_, "Other");
    layout->addWidget(pages_);
    // A page is read back when another is chosen; one holding a bad number stays on show.
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == shown_)
            return;
        if (!ReadPage(shown_)) {
            pages_->setCurrentIndex(shown_);
            return;
        }
        shown_ = index;
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("control1");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("control2");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool CCapSettingDlg::ReadPage(int index)
{
    return index == 0 ? save_->ReadBack() : basic_->ReadBack();
}

void CCapSettingDlg::accept()
{
    if (!ReadPage(pages_->currentIndex()))
        return;
    SaveCaptureDialogSettings(iniPath_, values_, StartNumChanged());
    QDialog::accept();
}

void CCapSettingDlg::CopyInto(const CaptureSettings& values, CaptureSettings& record, bool withStartNum)
{
    record.CopyToClipboard = values.CopyToClipboard;
    record.CapAppViewMode = values.CapAppViewMode;
    record.IsAudoSave = values.IsAudoSave;
    // As the next start would read it back.
    record.ImageSaveTitle = values.ImageSaveTitle.empty() ? "Snap" : values.ImageSaveTitle;
    if (withStartNum)
        record.StartNum = values.StartNum;
    record.ImageSavePath = values.ImageSavePath;
    record.ImageFormat = values.ImageFormat;
    record.CapDelayTime = std::max(values.CapDelayTime, CaptureSettings::kMinDelay);
    record.HideWndBeforCap = values.HideWndBeforCap;
    record.RestoreWndAftCap = values.RestoreWndAftCap;
    record.PlaySoundWhenCap = values.PlaySoundWhenCap;
    record.IncludeCursor = values.IncludeCursor;
    record.FixRectWidth = values.FixRectWidth;
    record.FixRectHeight = values.FixRectHeight;
    record.NotifyWhenHidden = values.NotifyWhenHidden;
    record.OcrLanguage = values.OcrLanguage;
}
