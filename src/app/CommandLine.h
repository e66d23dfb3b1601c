#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "text/TextPos.h"

// The option flags of the command line.
enum TCommandOption : unsigned { coLineBreaks = 1, coNoPrompt = 2, coWrap = 4 };

// What the command line asks for.
struct TCommandLine {
    struct TFile {
        std::filesystem::path Name; // absolute
        TTextPos Line = 0;          // from "+N" before it; 0: none
    };
    std::vector<TFile> Files;
    bool ReadStdin = false; // "-": the text comes from standard input
    bool Print = false;
    unsigned Options = 0;
    int WrapMode = 0; // 0 none, 1 window width, 2 after LineLength characters, 3 printer width
    std::int32_t LineLength = 0;
    bool Help = false, Version = false;
};

// Reads the arguments after the program's name. Option letters after "-" may be combined ("-LO") and
// are read in either case; each "W" takes the next argument that follows its group as the wrap mode.
// Options may come before, between and after file names; after "--" every argument is a file name.
// "+N" opens the file that follows at line N. Raises Exception with the message a user is shown.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text of --help.
std::string CommandLineHelp();
