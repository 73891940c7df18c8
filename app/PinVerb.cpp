#include "app/PinVerb.h"

#include "app/CaptureToolkit.h"
#include "editor/codecs/ImageBufferFile.h"
#include "editor/codecs/OpenFailure.h"
#include "imaging/ImageBuffer.h"

#include <iostream>

int RunPinVerb(const std::vector<std::string>& args)
{
    if (args.empty()) {
        std::cerr << "lumora: pin needs a picture file: lumora pin FILE...\n";
        return 2;
    }
    // Every file is read before any pin shows: a wrong name fails at once, not after the others closed.
    std::vector<ImageBuffer> pictures(args.size());
    for (size_t i = 0; i < args.size(); ++i)
        if (const LoadOutcome outcome = LoadImageFile(pictures[i], args[i]); outcome != LoadOutcome::kLoaded) {
            std::cerr << "lumora: " << OpenFailure::Describe(args[i], outcome == LoadOutcome::kDecoderFailed) << "\n";
            return 2;
        }
    const std::unique_ptr<CaptureToolkit::Pins> pins = WindowToolkit().makePins();
    if (!pins) {
        std::cerr << "lumora: cannot show a window: no display\n";
        return 1;
    }
    for (const ImageBuffer& picture : pictures)
        pins->Show(picture);
    pins->RunUntilClosed();
    return 0;
}
