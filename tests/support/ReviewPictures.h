#pragma once

#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>

// Keeps a picture of a widget for a reviewer, in app_output in the test's working folder (the build's
// tests folder under CTest). Returns the picture so that the test can look at what it kept.
inline QImage KeepPicture(QWidget& widget, const QString& name)
{
    const QString folder = QDir::currentPath() + "/app_output";
    QDir().mkpath(folder);
    QImage picture = widget.grab().toImage();
    picture.save(folder + "/" + name + ".png");
    return picture;
}
