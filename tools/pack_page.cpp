// Makes the page smaller once emscripten has written it: the WebAssembly,
// which emscripten puts in the script as base64, is deflated (to less than
// half) and put back as Module.rgbhsvWasm, for the page's screen.js to
// inflate and instantiate; emscripten's own copy is left empty.
// usage: pack_page PAGE.html
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "packed_text.h"

namespace {

const char kWasm[] = "wasmBinaryFile=\"data:application/octet-stream;base64,";

int Fail(const std::string &why)
{
    std::fprintf(stderr, "pack_page: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pack_page PAGE.html\n");
        return 2;
    }
    const std::string path = argv[1];
    std::ifstream in(path, std::ios::binary);
    std::stringstream read;
    read << in.rdbuf();
    std::string page = read.str();
    if (!in) return Fail("cannot read " + path);
    const size_t start = page.find(kWasm);
    if (start == std::string::npos || page.find(kWasm, start + 1) != std::string::npos)
        return Fail(path + " does not hold the WebAssembly once, in base64");
    const size_t from = start + sizeof kWasm - 1, to = page.find('"', from);
    std::string wasm, deflated;
    if (to == std::string::npos || !packed::FromBase64(page.substr(from, to - from), &wasm) ||
        wasm.compare(0, 4, std::string("\0asm", 4)) != 0)
        return Fail("the WebAssembly in " + path + " is not whole");
    if (!packed::Deflate(wasm, &deflated)) return Fail("cannot deflate");
    page.replace(from, to - from, "\";Module.rgbhsvWasm=\"" + packed::Base64(deflated));

    const std::string temporary = path + ".new";
    std::ofstream out(temporary, std::ios::binary);
    out << page;
    out.close();
    if (!out || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return Fail("cannot write " + path);
    }
    return 0;
}
