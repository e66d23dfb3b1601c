#include "text/Exceptions.h"

#include <cstring>

void RaiseInternalError(const std::string& message) {
    throw EInternalError(message + " - Please save the file to resynchronise editor");
}

std::string FileErrorMessage(const char* action, const std::string& fileName, int error) {
    return std::string("Cannot ") + action + " \"" + fileName + "\": " + std::strerror(error) + ".";
}
