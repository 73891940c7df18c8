#pragma once

#include "app/ShellSettings.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

// "Define hot key": the six capture hot keys as config.ini holds them, one button each to set a new
// combination, "Default" for the factory set; OK writes all twelve values, Cancel nothing. A combination
// another program holds shows as taken, since X11 will not give it to us.
class CDefHotKeyDlg : public QDialog {
    Q_OBJECT
public:
    using Pairs = std::array<HotKeyPair, 6>;
    // True when another program holds the combination.
    using TakenCheck = std::function<bool(HotKeyPair)>;

    // Order of the pairs: full screen, window / object, active window, region, scrolling window,
    // fixed rectangle.
    static const Pairs kDefaults;

    CDefHotKeyDlg(std::string iniPath, TakenCheck taken, QWidget* parent = nullptr);

    const Pairs& Values() const { return pairs_; }
    QPushButton* Button(int index) const { return buttons_[size_t(index)]; }
    // Runs "Set hot key" for one pair; the dialog's own buttons call it.
    void EditPair(int index);
    void SetDefaults();
    // On a desktop that lets no program take global keys: a line saying so, and the commands to bind to
    // keys in the desktop's own keyboard settings instead.
    void ShowCommandsToBind();
    // On a desktop whose portal binds the keys: a line saying that the desktop has the last word.
    void ShowDesktopDecides();
    QLabel* Note() const { return note_; }

    void accept() override;

private:
    void ShowTexts();

    std::string iniPath_;
    TakenCheck taken_;
    Pairs pairs_ {};
    std::array<QPushButton*, 6> buttons_ {};
    QLabel* note_;
};
