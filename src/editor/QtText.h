#pragma once

#include <string>
#include <string_view>

#include <QString>

#include "text/CharSet.h"

// The editor's bytes are text in the document's character set; Qt's strings are Unicode.
QString TextToUnicode(std::string_view bytes, TCharSets set);
// Windows-1252 holds few characters: one it lacks is refused with an EUserError that names it, never
// written as something else.
std::string UnicodeToText(const QString& text, TCharSets set);
