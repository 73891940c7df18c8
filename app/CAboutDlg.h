#pragma once

#include <QDialog>
#include <QUrl>

// "About Lumora!": the program's name and two links, to its home page and its support page.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    CAboutDlg(const QUrl& homePage, const QUrl& supportPage, QWidget* parent = nullptr);
};
