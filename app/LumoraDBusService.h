#pragma once

#include <QDBusAbstractAdaptor>
#include <QObject>

class CaptureRequestSink;

// The session-bus face of a running Lumora: other programs ask it to highlight or capture a window
// (X11 window ids) or to start a capture by kind. Calls return at once; the work runs afterwards on the
// program's own thread, as a posted message would.
class LumoraDBusService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.lumora.Lumora")
public:
    static constexpr const char* kServiceName = "org.lumora.Lumora";
    static constexpr const char* kObjectPath = "/org/lumora/Lumora";
    static constexpr const char* kInterface = "org.lumora.Lumora";

    explicit LumoraDBusService(CaptureRequestSink& sink, QObject* parent = nullptr);
    // Gives the name back, so that a waiting instance takes over.
    ~LumoraDBusService() override;

    // Takes the well-known name on the session bus, or waits in line for it behind a running instance
    // (which answers until it ends); false when there is no bus.
    bool Register();

    // Capture kinds as other programs number them: 0 full screen, 1 window / object, 2 region,
    // 3 active window. Returns the capture command, or 0 for any other number.
    static int CommandForKind(int kind);

public slots:
    void HighlightWindow(qulonglong window);
    void CaptureWindow(bool capture, qulonglong window);
    void CaptureByType(int kind);

private:
    CaptureRequestSink& sink_;
    bool registered_ = false;
};
