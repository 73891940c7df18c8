#pragma once

#include <QString>

// Opens a link target the way the desktop does: Qt's desktop services first, then xdg-open. The result
// follows the shell's numbering, so that one table of messages covers every failure: above 32 is
// success, lower values name the failure (2 file not found, 3 path not found, 31 no application).
namespace LinkOpener {

constexpr int kOpened = 33;

int Open(const QString& target);

// The message shown for a failed result, "Unable to open hyperlink:\n\n" and the result's text.
QString ErrorMessage(int result);

} // namespace LinkOpener
