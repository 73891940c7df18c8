#include "app/CDefHotKeyDlg.h"

#include "app/CDlgInputHotKey.h"
#include "app/HotKeyNames.h"
#include "settings/SettingsStore.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
struct Row {
    const char* label;
    int buttonId;
    const char* caption; // of the Set hot key dialog
};

constexpr Row kRows[] = {
    { "Capture full screen", 1025, "Capture full screen" },
    { "Capture window / object", 1027, "Capture Windows" },
    { "Capture active Window", 1028, "Capture Active Window" },
    { "Capture rectangle region", 1029, "Capture Region" },
    { "Capture scrolling window", 1031, "Capture scrolling window" },
    { "Capture fix-size Rectangle", 1032, "Capture fix-size rectangle" },
};
} // namespace

const CDefHotKeyDlg::Pairs CDefHotKeyDlg::kDefaults
    = { { { 'F', 6 }, { 'W', 6 }, { 'A', 6 }, { 'R', 6 }, { 'S', 6 }, { 'X', 6 } } };

CDefHotKeyDlg::CDefHotKeyDlg(std::string iniPath, TakenCheck taken, QWidget* parent)
    : QDialog(parent)
    , iniPath_(std::move(iniPath))
    , taken_(std::move(taken))
{
    setObjectName("dialog184");
    setWindowTitle("Define hot key");
    // The file, not the frame's memory, is what the dialog starts from.
    CaptureSettings stored;
    ReadHotkeySettings(iniPath_, stored);
    for (size_t i = 0; i < pairs_.size(); ++i)
        pairs_[i] = { stored.Hotkeys[i].Hotkey, stored.Hotkeys[i].HotkeyMask };

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        grid->addWidget(new QLabel(kRows[i].label, this), i, 0);
        auto* button = new QPushButton(this);
        button->setObjectName(QString("control%1").arg(kRows[i].buttonId));
        button->setMinimumWidth(220);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { EditPair(i); });
        grid->addWidget(button, i, 1);
        buttons_[size_t(i)] = button;
    }
    layout->addLayout(grid);
    note_ = new QLabel(this);
    note_->setObjectName("controlDesktopNote");
    note_->setWordWrap(true);
    note_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note_->hide();
    layout->addWidget(note_);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* defaults = box->addButton("Default", QDialogButtonBox::ResetRole);
    defaults->setObjectName("controlDefault");
    box->button(QDialogButtonBox::Ok)->setObjectName("control1");
    box->button(QDialogButtonBox::Cancel)->setObjectName("control2");
    connect(defaults, &QPushButton::clicked, this, &CDefHotKeyDlg::SetDefaults);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    ShowTexts();
}

void CDefHotKeyDlg::EditPair(int index)
{
    CDlgInputHotKey input(&pairs_[size_t(index)], kRows[index].caption, this);
    input.exec();
    ShowTexts();
}

void CDefHotKeyDlg::SetDefaults()
{
    pairs_ = kDefaults;
    ShowTexts();
}

void CDefHotKeyDlg::ShowCommandsToBind()
{
    // The captures a Wayland desktop lets us take, as the .desktop file's actions name them.
    QString text = "This desktop lets no program set global hot keys. To start a capture with a key, bind "
                   "one of these commands in the desktop's keyboard settings:";
    for (const char* command : { "lumora capture full", "lumora capture region", "lumora capture fixed" })
        text += QString("\n    %1").arg(command);
    note_->setText(text);
    note_->show();
}

void CDefHotKeyDlg::ShowDesktopDecides()
{
    note_->setText("The desktop binds these keys: it may ask first, and its keyboard settings can change them.");
    note_->show();
}

void CDefHotKeyDlg::ShowTexts()
{
    for (size_t i = 0; i < pairs_.size(); ++i) {
        const HotKeyPair pair = pairs_[i];
        QString text = HotKeyNames::Text(pair);
        const bool taken = pair.key != 0 && taken_ && taken_(pair);
        if (taken)
            text += " (taken)";
        buttons_[i]->setText(text);
        buttons_[i]->setToolTip(
            taken ? "Another program holds this combination, so it cannot start a capture." : QString());
    }
}

void CDefHotKeyDlg::accept()
{
    CaptureSettings values;
    for (size_t i = 0; i < pairs_.size(); ++i)
        values.Hotkeys[i] = { pairs_[i].key, pairs_[i].mask };
    SaveHotkeySettings(iniPath_, values);
    QDialog::accept();
}
