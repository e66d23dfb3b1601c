#pragma once

#include "text/TextPos.h"

// Text written on DOS-era systems (the OEM code page 437) shown as Windows-1252 text.
extern const unsigned char OemToAnsiTable[256];
void OemToAnsi(unsigned char* bytes, TTextPos count);
