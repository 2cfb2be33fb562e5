#pragma once
// Paths and bytes of the files the tests read and write, for every test program.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The build hands folders with forward slashes; the file dialogs want backslashes.
inline std::string WindowsPath(std::string path)
{
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return path;
}

// Test paths are plain ASCII, so a byte is a character either way.
inline std::wstring W(const std::string& path) { return std::wstring(path.begin(), path.end()); }
inline std::string Narrow(const std::wstring& path) { return std::string(path.begin(), path.end()); }

// A file of tests/fixtures (made by other programs).
inline std::string FixturePath(const char* name) { return WindowsPath(std::string(VEMIRO_FIXTURES) + "\\" + name); }

// A folder of this name under the test output folder, made if missing.
inline std::string OutputFolder(const char* name)
{
    const std::string folder = WindowsPath(std::string(VEMIRO_TEST_OUTPUT) + "\\" + name);
    CreateDirectoryA(VEMIRO_TEST_OUTPUT, nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// A path under the test output folder; a file left there by an earlier run is removed.
inline std::string FreshOutputPath(const char* name)
{
    const std::string path = WindowsPath(std::string(VEMIRO_TEST_OUTPUT) + "\\" + name);
    CreateDirectoryA(VEMIRO_TEST_OUTPUT, nullptr);
    DeleteFileA(path.c_str());
    return path;
}

inline std::vector<BYTE> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool WriteWholeFile(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

inline bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
