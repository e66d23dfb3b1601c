#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "FixedCanvas.h"
#include "TestFiles.h"
#include "mail/UUDecoder.h"
#include "text/EditStream.h"

// What the decoder told at the end of a file; the name is relative to the directory decoded into.
struct TReport {
    TUdStates State;
    TUUErrors Error;
    std::string FileName;
    bool operator==(const TReport&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TReport& r) {
    return out << "{" << static_cast<int>(r.State) << "," << static_cast<int>(r.Error) << "," << r.FileName
               << "}";
}

// A mail text decoded into a directory of its own, with every report and refusal kept.
class TDecoding {
public:
    void Decode(const std::string& mail) {
        text.SetCanvas(&canvas);
        text.InsertString(mail, 0);
        TUUDecoder decoder(dir / "");
        decoder.OnEndDecode = [this](TUUDecoder&, TUdStates state, TUUErrors error, const std::string& name) {
            reports.push_back(
                {state, error, std::filesystem::path(name).lexically_relative(dir / "").string()});
        };
        decoder.OnBlockDecode = [this](TUUDecoder&, TTextPos, bool& cancelled) {
            cancelled = --linesLeft == 0;
        };
        decoder.OnStartDecode = [this](TUUDecoder&, std::string& name, bool& cancel) {
            cancel = name == ignored;
        };
        decoder.OnRefused = [this](TUUDecoder&, const std::string& message) { refusals.push_back(message); };
        decoder.Decode(text, 0);
    }

    TTempDir dir;
    TFixedCanvas canvas;
    TEditStream text;
    std::vector<TReport> reports;
    std::vector<std::string> refusals;
    int linesLeft = -1;  // the run is cancelled after this many lines
    std::string ignored; // the user says Ignore to a file of this name
};
