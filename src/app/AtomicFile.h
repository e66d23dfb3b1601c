#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A whole file's bytes; nothing when it does not exist. Other failures raise EFOpenError.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& name);

// Replaces `name` with `bytes` so that at every moment, a crash included, the name holds the old
// contents or the new ones whole: the bytes go to a new private file beside it, are flushed, and the
// file is renamed over the name. A name that is a symbolic link has the file it points to replaced, so
// the link stays. A new file gets mode 0600, a replaced one keeps its mode. Failures raise EFOpenError.
void WriteFileAtomically(const std::filesystem::path& name, std::string_view bytes);
