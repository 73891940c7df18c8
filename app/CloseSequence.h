#pragma once

#include <vector>

class ClosableDocument;
class CloseSequencePrompts;

// Asks about each modified document in order before the program ends. Documents answered are closed
// at once; Run returns false when the user cancelled, leaving the rest open as they were.
class CloseSequence {
public:
    explicit CloseSequence(CloseSequencePrompts& prompts)
        : prompts_(prompts)
    {
    }

    bool Run(const std::vector<ClosableDocument*>& documents);

private:
    enum class Step { Next, StopAsking, Abort };
    Step Settle(ClosableDocument& document);
    Step SaveAndClose(ClosableDocument& document);

    CloseSequencePrompts& prompts_;
};
