#pragma once

class CKestrelDoc;
class QWidget;

// The document's handlers of the image commands that ask for values first: the adjustment dialogs,
// brightness/contrast and resize. Each runs its dialog modally over parent and then finishes the
// document as the command requires.
namespace DialogCommands {

// True for the commands handled here.
bool IsDialogCommand(int id);
// Runs command id on document; false when it is not a dialog command.
bool Run(CKestrelDoc& document, int id, QWidget* parent);

} // namespace DialogCommands
