#include "app/TrayIcon.h"

#include "app/CommandTable.h"

#include <QMenu>

TrayIcon::TrayIcon(const QIcon& icon, QObject* parent)
    : QObject(parent)
    , menu_(new QMenu)
    , icon_(new QSystemTrayIcon(icon, this))
{
    menu_->setObjectName(QString("menu%1").arg(176));
    for (const MenuEntry& entry : CommandTable::TrayMenu()) {
        if (entry.id == 0) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(CommandTable::Label(entry.text));
        action->setData(entry.id);
        const int id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] { emit CommandTriggered(id); });
    }
    icon_->setToolTip("Lumora");
    icon_->setContextMenu(menu_);
    connect(icon_, &QSystemTrayIcon::activated, this, &TrayIcon::HandleActivation);
}

// The menu has no parent widget (it pops up on its own), so it is deleted here.
TrayIcon::~TrayIcon()
{
    delete menu_;
}

void TrayIcon::Add()
{
    icon_->show();
}

void TrayIcon::Delete()
{
    icon_->hide();
}

void TrayIcon::HandleActivation(QSystemTrayIcon::ActivationReason reason)
{
    // The right button's menu is opened by the icon itself.
    if (reason == QSystemTrayIcon::Trigger)
        emit ToggleRequested();
}
