// What the Windows programs carry besides their code, read back out of the
// built .exe files (windres turns each into .res bytes): the manifest and
// the version information of both, and a dialog template 101 that is byte
// for byte what the resource script compiles to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "resource_reader.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The resources of a built program, as a .res file's bytes.
Bytes ResourcesOf(const std::string &exe)
{
    // One file a process: ctest runs the tests of this file side by side.
    const std::string res = testing::TempDir() + "program-" + std::to_string(getpid()) + ".res";
    const std::string command = std::string(WINDRES_PATH) + " -i " + exe + " -O res -o " + res;
    if (std::system(command.c_str()) != 0) return {};
    return ReadFile(res);
}

std::string Text(const platform::ResourceRecord *r)
{
    return r ? std::string(r->data.begin(), r->data.end()) : std::string();
}

// A string of the version information: the UTF-16 key, padding to a
// 32-bit boundary, then the UTF-16 value.
std::string VersionString(const platform::ResourceRecord *r, const std::string &key)
{
    if (!r) return "(no version information)";
    std::u16string wide(key.begin(), key.end());
    wide.push_back(0);
    const auto *start = reinterpret_cast<const uint8_t *>(wide.data());
    const Bytes needle(start, start + wide.size() * 2);
    const uint8_t *base = r->data.data();
    auto at = std::search(r->data.begin(), r->data.end(), needle.begin(), needle.end());
    if (at == r->data.end()) return "(no " + key + ")";
    size_t offset = static_cast<size_t>(at - r->data.begin()) + needle.size();
    offset = (offset + 3) & ~size_t{3};
    std::string value;
    for (; offset + 1 < r->data.size() && (base[offset] || base[offset + 1]); offset += 2)
        value.push_back(base[offset + 1] ? '?' : static_cast<char>(base[offset]));
    return value;
}

const char *const kSupportedOs[] = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"};

TEST(WindowsPrograms, ManifestAndVersionFromTheOneVersionNumber)
{
    const struct {
        const char *exe, *description;
        bool dialog;
    } programs[] = {
        {"x86_64/rgbhsv.exe", "RGB <-> HSV colour converter", true},
        {"i686/rgbhsv.exe", "RGB <-> HSV colour converter", true},
        {"x86_64/hsvconv.exe", "RGB <-> HSV colour converter for the command line", false},
        {"i686/hsvconv.exe", "RGB <-> HSV colour converter for the command line", false},
    };
    for (const auto &program : programs) {
        const Bytes res = ResourcesOf(std::string(WINDOWS_BUILD_DIR) + "/" + program.exe);
        std::vector<platform::ResourceRecord> records;
        std::string error;
        ASSERT_TRUE(ReadResourceFile(res, &records, &error)) << program.exe << ": " << error;

        const std::string manifest = Text(FindResourceRecord(records, 24, 1));
        EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << program.exe;
        for (const char *os : kSupportedOs) EXPECT_NE(manifest.find(os), std::string::npos) << program.exe << " " << os;
        const bool themed = manifest.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"") != std::string::npos;
        EXPECT_EQ(themed, program.dialog) << program.exe << ": Common Controls 6 belongs to the dialog program alone";
        EXPECT_EQ(manifest.find(">PerMonitorV2</dpiAwareness>") != std::string::npos, program.dialog) << program.exe;
        EXPECT_EQ(manifest.find(">true/pm</dpiAware>") != std::string::npos, program.dialog) << program.exe;

        const platform::ResourceRecord *version = FindResourceRecord(records, 16, 1);
        const std::string name = std::string(program.exe).substr(std::string(program.exe).find('/') + 1);
        EXPECT_EQ(VersionString(version, "FileVersion"), PROJECT_VERSION) << program.exe;
        EXPECT_EQ(VersionString(version, "ProductVersion"), PROJECT_VERSION) << program.exe;
        EXPECT_EQ(VersionString(version, "ProductName"), "rgbhsv") << program.exe;
        EXPECT_EQ(VersionString(version, "FileDescription"), program.description) << program.exe;
        EXPECT_EQ(VersionString(version, "OriginalFilename"), name) << program.exe;
        EXPECT_EQ(VersionString(version, "LegalCopyright"), "(c) 2026 the rgbhsv developers; MIT licence")
            << program.exe;
    }
}

TEST(WindowsPrograms, DialogTemplateIsWhatTheScriptCompilesTo)
{
    const Bytes script = ReadFile(CONVERTER_RES_PATH);
    std::vector<platform::ResourceRecord> compiled;
    std::string error;
    ASSERT_TRUE(ReadResourceFile(script, &compiled, &error)) << error;
    const platform::ResourceRecord *expected = FindResourceRecord(compiled, 5, 101);
    ASSERT_NE(expected, nullptr);
    for (const char *exe : {"x86_64/rgbhsv.exe", "i686/rgbhsv.exe"}) {
        const Bytes res = ResourcesOf(std::string(WINDOWS_BUILD_DIR) + "/" + exe);
        std::vector<platform::ResourceRecord> records;
        ASSERT_TRUE(ReadResourceFile(res, &records, &error)) << exe << ": " << error;
        const platform::ResourceRecord *built = FindResourceRecord(records, 5, 101);
        ASSERT_NE(built, nullptr) << exe;
        EXPECT_TRUE(std::equal(built->data.begin(), built->data.end(), expected->data.begin(), expected->data.end()))
            << exe << ": template 101 differs from what converter.rc compiles to";
    }
}

}  // namespace
