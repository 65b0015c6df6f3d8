// The build's packer: turns the placeholder payload files into payload records, the registry
// script texts into UTF-16LE scripts, and a set of resources into the source of an in-memory
// program image for the host build.
//
//   packer record [--plain] NAME "YYYY-MM-DD HH:MM:SS" INPUT OUTPUT
//   packer script INPUT OUTPUT
//   packer image OUTPUT.cpp RESOURCE=FILE...
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "record.h"

namespace {

using namespace orvano::packer;

bool ReadFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Written whole or not at all: a failed build step never leaves a partial output behind.
bool WriteFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush())
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "packer: %s\n", message.c_str());
    return 1;
}

int Record(std::vector<std::string> args) {
    bool compressed = true;
    if (!args.empty() && args[0] == "--plain") {
        compressed = false;
        args.erase(args.begin());
    }
    if (args.size() != 4) return Fail("record [--plain] NAME TIME INPUT OUTPUT");
    std::uint64_t stamp = 0;
    if (!ParseUtc(args[1], stamp)) return Fail("not a UTC time: " + args[1]);
    std::string file;
    if (!ReadFile(args[2], file)) return Fail("cannot read " + args[2]);
    if (file.size() > 0xFFFFFFFFu) return Fail("too large for a resource: " + args[2]);
    if (!WriteFile(args[3], MakePayloadRecord(file, args[0], stamp, compressed)))
        return Fail("cannot write " + args[3]);
    return 0;
}

int Script(const std::vector<std::string>& args) {
    if (args.size() != 2) return Fail("script INPUT OUTPUT");
    std::string text, script;
    if (!ReadFile(args[0], text)) return Fail("cannot read " + args[0]);
    if (!MakeUtf16Script(text, script)) return Fail("not ASCII: " + args[0]);
    if (!WriteFile(args[1], script)) return Fail("cannot write " + args[1]);
    return 0;
}

// A C++ source that hands each resource to the in-memory platform when the program starts.
int Image(const std::vector<std::string>& args) {
    if (args.size() < 2) return Fail("image OUTPUT.cpp RESOURCE=FILE...");
    std::ostringstream source;
    source << "// Made by the packer: the program's data resources for the in-memory platform.\n"
              "#include <string>\n\n#include \"platform/memory/control.h\"\n\nnamespace {\n\n";
    std::ostringstream registrations;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::size_t eq = args[i].find('=');
        if (eq == std::string::npos || eq == 0) return Fail("not RESOURCE=FILE: " + args[i]);
        std::string bytes;
        if (!ReadFile(args[i].substr(eq + 1), bytes)) return Fail("cannot read " + args[i]);
        source << "const unsigned char kResource" << i << "[] = {";
        for (std::size_t at = 0; at < bytes.size(); ++at)
            source << (at % 24 == 0 ? "\n    " : "")
                   << static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) << ',';
        source << "\n};\n\n";
        registrations << "        Put(\"" << args[i].substr(0, eq) << "\", kResource" << i
                      << ", sizeof kResource" << i << ");\n";
    }
    source << "void Put(const char* name, const unsigned char* bytes, std::size_t size) {\n"
              "    orvano::platform::memory::PutResource(\n"
              "        name, std::string(reinterpret_cast<const char*>(bytes), size));\n}\n\n"
              "struct Image {\n    Image() {\n"
           << registrations.str() << "    }\n} image;\n\n}  // namespace\n";
    if (!WriteFile(args[0], source.str())) return Fail("cannot write " + args[0]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("usage: packer record|script|image ...");
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "record") return Record(args);
    if (command == "script") return Script(args);
    if (command == "image") return Image(args);
    return Fail("unknown command " + command);
}
