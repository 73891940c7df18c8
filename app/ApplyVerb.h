#pragma once

#include <string>
#include <vector>

// lumora apply IN OUT EFFECT [VALUES...]: opens IN as a document, runs one image command through the
// same path as the Image and Filter menus, and saves the result to OUT. Returns the exit code; errors
// are one line on stderr and OUT is not written.
int RunApplyVerb(const std::vector<std::string>& args);
