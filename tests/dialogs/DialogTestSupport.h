#pragma once

#include "ImageTestUtil.h"
#include "app/DocumentAdjustTarget.h"
#include "editor/document/CKestrelDoc.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs the event loop until condition holds or limitMs pass; returns the condition.
inline bool WaitUntil(const std::function<bool()>& condition, int limitMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < limitMs)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

// Acts on the next modal dialog of type T once it is up, from inside its own loop.
template <class T> void WhenModal(std::function<void(T&)> act)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*dialog);
        }
    });
    poll->start(5);
}

// A document with the face it shows the dialogs.
struct TestDocument : CKestrelDoc {
    DocumentAdjustTarget target { *this };
};

// A document holding image, as a capture leaves it (32 bpp).
inline std::unique_ptr<TestDocument> MakeDocument(ImageBuffer image)
{
    auto document = std::make_unique<TestDocument>();
    document->Image() = std::move(image);
    return document;
}

// Pictures of the dialogs for a reviewer, in dialogs_output beside the test's working folder.
inline void SaveScreenshot(QWidget& widget, const QString& name)
{
    const QString folder = QDir::currentPath() + "/dialogs_output";
    QDir().mkpath(folder);
    widget.grab().save(folder + "/" + name + ".png", "PNG");
}

inline bool SamePixels(const ImageBuffer& a, const ImageBuffer& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitCount() != b.BitCount())
        return false;
    const int rowBytes = a.Width() * a.BitCount() / 8;
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.Row(y), a.Row(y) + rowBytes, b.Row(y)))
            return false;
    return true;
}
