#pragma once

#include <cstdint>

class ImageBuffer;
class ProgressSink;

// An operation run over an image by ImageBuffer::ApplyEffect.
//
// Mode 1 effects get ProcessPixel for every pixel, row by row, left to right; effects may rely on that
// order. ProcessRow is the loop over one row: the default calls ProcessPixel through the vtable, and
// PixelEffectImpl replaces it with a loop the compiler can inline for a concrete effect.
//
// An effect whose rows do not depend on one another (no row reads what another row wrote, and any scratch
// state is per worker) says so with RowsInAnyOrder; ApplyEffect then hands blocks of rows to ProcessRows
// on every core. Each row is still visited left to right by one thread, and the bytes are the same.
class ImageEffect {
public:
    virtual ~ImageEffect() = default;
    virtual bool CanApply(const ImageBuffer& image) const = 0;
    virtual int Mode() const { return 1; }
    virtual void Begin(ImageBuffer& image);
    virtual void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel);
    virtual void ProcessImage(ImageBuffer& image, ProgressSink* progress);
    virtual void End(ImageBuffer& image);

    virtual void ProcessRow(ImageBuffer& image, int y);

    virtual bool RowsInAnyOrder() const { return false; }
    // Called once before the rows are handed out in blocks of blockRows rows (the last may be shorter), in
    // any order. An effect that works in place and reads the rows around a block keeps here those that the
    // neighbouring blocks will overwrite.
    virtual void BeginBlocks(const ImageBuffer& image, int blockRows);
    // Rows [first, end) on worker `worker` (0 to the row pool's thread count - 1), possibly at the same
    // time as other blocks on other workers. The default calls ProcessRow for each.
    virtual void ProcessRows(ImageBuffer& image, int first, int end, int worker);
};
