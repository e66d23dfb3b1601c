#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "text/EditStream.h"
#include "text/MemoryStream.h"
#include "text/TextStream.h"
#include "text/VirtualStreamList.h"

// A fresh directory under the system's temporary directory, removed with everything in it.
class TTempDir {
public:
    TTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-test-XXXXXX").string();
        m_Path = ::mkdtemp(pattern.data());
    }
    ~TTempDir() { std::filesystem::remove_all(m_Path); }
    std::filesystem::path operator/(const std::string& name) const { return m_Path / name; }
    std::filesystem::path operator/(const char* name) const { return m_Path / name; }

private:
    std::filesystem::path m_Path;
};

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string bytes(in ? static_cast<size_t>(in.tellg()) : 0, '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// The whole text of a virtual stream, read from position 0.
inline std::string ReadAll(TVirtualStreamList& list) {
    std::string text(static_cast<size_t>(list.Size()), '\0');
    list.Seek(0);
    list.Read(reinterpret_cast<unsigned char*>(text.data()), list.Size());
    return text;
}

inline std::string Repeated(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

inline const unsigned char* Bytes(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

// A text model of type `TText` over `bytes`, cached in blocks of `blockSize`.
template <typename TText> std::unique_ptr<TText> ModelOver(const std::string& bytes, TTextPos blockSize) {
    auto stream = std::make_unique<TMemoryStream>();
    stream->Write(Bytes(bytes), static_cast<TTextPos>(bytes.size()));
    auto text = std::make_unique<TText>();
    text->SetBufferSize(blockSize);
    text->SetStream(std::move(stream));
    return text;
}

// A read-only text model over `bytes`.
inline std::unique_ptr<TTextStream> TextOver(const std::string& bytes, TTextPos blockSize = 4096) {
    return ModelOver<TTextStream>(bytes, blockSize);
}

// An editable text model over `bytes`.
inline std::unique_ptr<TEditStream> EditOver(const std::string& bytes, TTextPos blockSize = 4096) {
    return ModelOver<TEditStream>(bytes, blockSize);
}
