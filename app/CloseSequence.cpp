#include "app/CloseSequence.h"

#include "app/ClosableDocument.h"
#include "app/CloseSequencePrompts.h"

bool CloseSequence::Run(const std::vector<ClosableDocument*>& documents)
{
    size_t index = 0;
    for (; index < documents.size(); ++index) {
        const Step step = Settle(*documents[index]);
        if (step == Step::Abort)
            return false;
        if (step == Step::StopAsking) {
            ++index;
            break;
        }
    }
    // Whatever is still open closes without asking, as "Save None" or the answers above decided.
    for (size_t rest = index; rest < documents.size(); ++rest)
        documents[rest]->SetModified(false);
    return true;
}

CloseSequence::Step CloseSequence::Settle(ClosableDocument& document)
{
    if (!document.IsModified()) {
        document.CloseDocument();
        return Step::Next;
    }
    switch (prompts_.AskSaveOnExit(document.Title())) {
    case ExitAnswer::Yes:
        return SaveAndClose(document);
    case ExitAnswer::No:
        document.SetModified(false);
        document.CloseDocument();
        return Step::Next;
    case ExitAnswer::SaveNone:
        document.SetModified(false);
        return Step::StopAsking;
    case ExitAnswer::Cancel:
        break;
    }
    return Step::Abort;
}

CloseSequence::Step CloseSequence::SaveAndClose(ClosableDocument& document)
{
    const std::optional<QString> path = prompts_.AskSavePath(document.Title(), "jpg");
    if (!path)
        return Step::Abort;
    // A failed save must not end the program with the work unsaved: report it and stay open.
    if (!document.SaveTo(*path)) {
        prompts_.ReportSaveFailure(*path);
        return Step::Abort;
    }
    document.SetModified(false);
    document.CloseDocument();
    return Step::Next;
}
