#pragma once

#include <string>
#include <vector>

// lumora ocr FILE|--full|--region WxH+X+Y [--lang LANG]: the text of a picture file, the whole desktop or
// a rectangle of it, in UTF-8 on standard output. args are those after "ocr"; returns the exit code.
int RunOcrVerb(const std::vector<std::string>& args);
