#pragma once

// Receives the percentage of a long image operation.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void Reset() { position_ = 0; }
    virtual int GetPosition() const { return position_; }
    virtual void SetPosition(int percent) { position_ = percent; }

protected:
    int position_ = 0;
};
