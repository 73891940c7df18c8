#include "app/InfoVerb.h"

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
    if (!image.Load(args[0])) {
        std::cerr << "lumora: " << OpenFailure::Message(args[0], OpenFailure::Diagnose(args[0])) << "\n";
        return 2;
    }
    std::cout << "width=" << image.Width() << " height=" << image.Height() << " bpp=" << image.BitCount()
              << " tag=" << image.Tag() << "\n";
    return 0;
}
