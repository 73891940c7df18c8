#pragma once

#include <QObject>
#include <QSystemTrayIcon>

class QMenu;

// The notification-area icon with its menu 176. A left click asks the frame to show or hide itself;
// a right click opens the menu, whose items report their command ids.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    static constexpr int kIconId = 9201;

    TrayIcon(const QIcon& icon, QObject* parent = nullptr);
    ~TrayIcon() override;

    void Add();
    void Delete();
    bool IsAdded() const { return icon_->isVisible(); }
    QString Tip() const { return icon_->toolTip(); }
    QMenu* Menu() const { return menu_; }

    void HandleActivation(QSystemTrayIcon::ActivationReason reason);

signals:
    void CommandTriggered(int id);
    void ToggleRequested();

private:
    QMenu* menu_;
    QSystemTrayIcon* icon_;
};
