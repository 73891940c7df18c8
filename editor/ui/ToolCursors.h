#pragma once

#include <QCursor>

// The editing tools' mouse pointers: the theme's shapes where Qt has them, our own drawings for the
// magnifier and the arrow with a four-way cross.
class ToolCursors {
public:
    static QCursor ForTool(int tool);
    // Over a grabbed-handle code of the selected object; None keeps current.
    static QCursor ForHandle(int handle, const QCursor& current);
    // Over the rubber band: by drag mode, or the cross outside it.
    static QCursor ForBandMode(int mode, bool inside);
    static QCursor Magnifier();
    static QCursor MoveArrow();
};
