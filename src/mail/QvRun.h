#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// Running external command-line tools (the compression tools) and naming their temporary files.

// A new name in the temporary directory made of the three-character prefix and a counter that grows
// with every name made, as PREFnnnn.TMP; the file is not created.
std::filesystem::path MakeTempName(const std::string& prefix);

// The short form of a path: on this system the path itself.
std::filesystem::path ShortName(const std::filesystem::path& path);

// Runs `command` with /bin/sh in the current directory and waits for it; true exactly when it exits
// with status 0. A three-line command file (-2, the directory, the command) is left in the temporary
// directory, and the current directory is the same afterwards in every case. While it waits it asks
// `keepWaiting` every few milliseconds; a false answer ends the command and all it started, and the
// run fails.
bool RunTool(const std::string& command, const std::function<bool()>& keepWaiting = {});

// `command` with its first "&Z" replaced by `archive` and its first "&F" by `file`, each quoted for
// the shell so that it reaches the tool as one argument; nothing when either placeholder is missing.
std::optional<std::string> SubstituteToolNames(const std::string& command, const std::filesystem::path& archive,
                                               const std::filesystem::path& file);

// `text` in single quotes for /bin/sh, so that the shell passes it on unchanged as one word.
std::string ShellQuote(const std::string& text);
