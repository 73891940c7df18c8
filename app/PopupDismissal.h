#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QRect>

#include <vector>

class ScreenSource;

// Takes our own menus off the screen before a capture reads it. A menu item starts its capture while the
// menu is still drawn: the unmap and the repaint of what lay beneath wait in the event queue, which the
// capture's sleep blocks. It watches every pop-up window of the program hide, so it also knows a menu that
// closed itself just before its item ran.
class PopupDismissal final : public QObject {
public:
    // Without a screen (one whose every read is a new screenshot, as the portal's) it does not watch the
    // area settle.
    explicit PopupDismissal(ScreenSource* screen);
    ~PopupDismissal() override;

    // Closes the open pop-ups and returns once the server has removed them and the area they covered
    // has been repainted (it stopped changing), or a time limit passed.
    void Dismiss();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Hidden {
        QRect area;
        qint64 when = 0;
    };
    void WaitUntilSettled(const QRect& area);

    ScreenSource* screen_;
    QElapsedTimer clock_;
    std::vector<Hidden> recent_;
};
