#pragma once

#include <string>

#include <QString>

// The editor's bytes are Windows-1252 text; Qt's strings are Unicode.
QString FromWindows1252(const std::string& bytes);
// Characters without a Windows-1252 byte become '?'.
std::string ToWindows1252(const QString& text);
