#pragma once

#include <filesystem>
#include <string>

#include "text/TextPos.h"

// Deterministic mail-like text for benchmarks: header blocks, paragraphs wrapped near 72 columns,
// quoted paragraphs ("> ", ">> "), signatures and blank lines. The same size and line ends always give
// the same bytes.
std::string MailText(TTextPos bytes, bool crlf = false);

// A file of exactly `bytes` bytes of that text in `dir` (the system's temporary directory by default),
// written on first use and kept for later runs.
std::filesystem::path MailTextFile(TTextPos bytes, bool crlf = false, std::filesystem::path dir = {});
