#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>

#include "app/IntegerText.h"
#include "text/Exceptions.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void UsageError() {
    throw Exception("Parameter Error: Usage is quorvel [-P] [-L] [-O] [-W NONE|SCREEN|PRINTER|<number>] "
                    "[<filename>]");
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

void ReadWrapMode(TCommandLine& line, const std::string& value) {
    const std::string mode = Upper(value);
    if (mode == "NONE") {
        line.WrapMode = 0;
    } else if (mode == "SCREEN") {
        line.WrapMode = 1;
    } else if (mode == "PRINTER") {
        line.WrapMode = 3;
    } else if (const auto length = ParseInteger(mode)) {
        line.WrapMode = 2;
        line.LineLength = *length;
    } else {
        throw Exception("Unrecognised wrap mode on command line");
    }
}

bool IsLineNumber(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '+' &&
           std::all_of(arg.begin() + 1, arg.end(), [](unsigned char c) { return std::isdigit(c); });
}

} // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    TCommandLine line;
    TTextPos nextLine = 0;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty()) continue;
        if (optionsEnded || (!arg.starts_with('-') && !IsLineNumber(arg))) {
            line.Files.push_back({fs::absolute(arg), nextLine});
            nextLine = 0;
        } else if (IsLineNumber(arg)) {
            nextLine = 0;
            for (char digit : arg.substr(1)) // a line beyond any text's end stays beyond it
                nextLine = std::min<TTextPos>(nextLine * 10 + (digit - '0'), TTextPos{1} << 48);
        } else if (arg == "-") {
            line.ReadStdin = true;
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help") {
            line.Help = true;
        } else if (arg == "--version") {
            line.Version = true;
        } else {
            size_t wrapValue = i; // a W takes the argument after the group, a second W the one after that
            for (size_t c = 1; c < arg.size(); ++c)
                switch (std::toupper(static_cast<unsigned char>(arg[c]))) {
                case 'P':
                    line.Print = true;
                    break;
                case 'L':
                    line.Options |= coLineBreaks;
                    break;
                case 'O':
                    line.Options |= coNoPrompt;
                    break;
                case 'W':
                    line.Options |= coWrap;
                    ++wrapValue;
                    ReadWrapMode(line, wrapValue < args.size() ? args[wrapValue] : std::string());
                    break;
                default:
                    UsageError();
                }
            i = wrapValue;
        }
    }
    if (nextLine != 0) UsageError();
    if (line.Print && line.Files.empty()) throw Exception("No file name specified when print requested");
    if (line.Print)
        for (const TCommandLine::TFile& file : line.Files)
            if (!fs::exists(file.Name)) throw Exception("Specified file does not exist");
    return line;
}

std::string CommandLineHelp() {
    return "Usage: quorvel [OPTION]... [[+LINE] FILE]...\n"
           "Edits each FILE in a page of its own. A FILE that does not exist opens as an empty page that\n"
           "is created when it is first saved. When Quorvel already runs for this user, the files open\n"
           "there.\n"
           "\n"
           "  +LINE     open the FILE that follows at line LINE\n"
           "  -         read a text from standard input into an untitled page\n"
           "  -P        print FILE and end\n"
           "  -L        save wrapped text with hard line breaks, without asking\n"
           "  -O        save without asking: no question before overwriting a file, none for changes\n"
           "  -W MODE   wrap NONE, at the SCREEN width, at the PRINTER width, or after a number of\n"
           "            characters\n"
           "  --        every argument after this is a FILE\n"
           "  --help    show this help and end\n"
           "  --version show the version and end\n"
           "\n"
           "Option letters may be combined (-LO). Settings are kept in\n"
           "$XDG_CONFIG_HOME/Tarvane Software/Quorvel/Version1.0.ini (~/.config when it is not set).\n";
}
