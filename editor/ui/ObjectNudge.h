#pragma once

#include <QElapsedTimer>
#include <Qt>

class AnnotationObject;
class CKestrelView;

// The arrow keys move the selected object: 1 image pixel a press, 10 with Shift. A burst of presses is
// one undo step: presses of the same object that follow each other within kBurstPause (a held key
// repeats far faster) add to the step; a longer pause, or anything else the user does in the view
// (another key, a click, another edit, undo), ends the burst.
class ObjectNudge {
public:
    static constexpr int kBurstPauseMs = 1000;

    explicit ObjectNudge(CKestrelView& view)
        : view_(view)
    {
    }

    // False when key is no arrow, other modifiers than Shift are held, or nothing is selected.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);
    // The next press starts a new undo step.
    void End() { burstObject_ = nullptr; }

private:
    CKestrelView& view_;
    const AnnotationObject* burstObject_ = nullptr;
    QElapsedTimer sinceLastPress_;
};
