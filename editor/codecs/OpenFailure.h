#pragma once

#include <string>

// Why a picture file could not be opened, told to the user in words. The decoders say only yes or no;
// the file system says the rest, asked after a load failed.
class OpenFailure {
public:
    enum class Reason { NotFound, NoPermission, NotAFile, TooLarge, NotAPicture };

    // The reason a failed load of path had: what the file system reports for it, a size on disk or
    // declared in a PNG, GIF or BMP header beyond what a document holds, else that its content is no
    // picture we read.
    static Reason Diagnose(const std::string& path);
    // The reason as the end of a sentence ("the file does not exist").
    static const char* Text(Reason reason);
    // "Cannot open PATH: REASON."
    static std::string Message(const std::string& path, Reason reason);
    // The one line for a load of path that failed: the decoder's failure, or Message with the diagnosed reason.
    static std::string Describe(const std::string& path, bool decoderFailed);
};
