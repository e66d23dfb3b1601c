#pragma once

#include <filesystem>
#include <string>

#include "text/TextPos.h"

// Deterministic mail-like text for benchmarks: header blocks, paragraphs wrapped near 72 columns,
// quoted paragraphs ("> ", ">> "), signatures and blank lines. The same size and line ends always give
// the same bytes.
std::string MailText(TTextPos bytes, bool crlf = false);

// Where the benchmarks keep their data files between runs: a directory in the system's temporary one.
std::filesystem::path BenchDirectory();

// A file of exactly `bytes` bytes of that text in `dir` (BenchDirectory by default), written on first use
// and kept for later runs.
std::filesystem::path MailTextFile(TTextPos bytes, bool crlf = false, std::filesystem::path dir = {});

// The same in UTF-8: a quarter of the paragraphs each in English, accented Latin, Cyrillic and Chinese or
// Japanese.
std::filesystem::path Utf8MailTextFile(TTextPos bytes);

// A sparse file in BenchDirectory, kept for later runs: 1 MB of that text, 5 GiB of zero bytes (one
// enormous line, a hole on disk) and 1 MB of text again.
std::filesystem::path SparseFile();
