#include "app/InfoVerb.h"

#include "editor/codecs/ImageBufferFile.h"
#include "editor/codecs/OpenFailure.h"
#include "imaging/ImageBuffer.h"

#include <iostream>

int RunInfoVerb(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::cerr << "lumora: info needs one file: lumora info FILE\n";
        return 2;
    }
    ImageBuffer image;
    if (const LoadOutcome outcome = LoadImageFile(image, args[0]); outcome != LoadOutcome::kLoaded) {
        std::cerr << "lumora: " << OpenFailure::Describe(args[0], outcome == LoadOutcome::kDecoderFailed) << "\n";
        return 2;
    }
    std::cout << "width=" << image.Width() << " height=" << image.Height() << " bpp=" << image.BitCount()
              << " tag=" << image.Tag() << "\n";
    return 0;
}
