// Expands a window description template into the description the program compiles in:
// picture directives become the binary data the reader expects.
//
//   embedres TEMPLATE BASEDIR BINARY.cpp TEXT.cpp FUNCTION
//
// BINARY.cpp holds FUNCTION(), the description in binary form (fw::WriteBinaryForm) with its
// pictures as pixel images (fw::PixelFormData), for the program. TEXT.cpp holds
// FUNCTIONText(), the same description as text, packed (fw::PackText), for tests and tools.
//
// Directives, each standing where a binary value would:
//   @picture(FILE)          a picture holding the bitmap of FILE
//   @picture(FILE, W, H)    the same, cut to W x H from the top-left corner
//   @imagelist(W, H, FILE...)  image-list data: every file cut into W x H images
//   @icon(FILE)             a picture holding FILE as an icon
//   @data(FILE)             a 32-bit byte count followed by FILE's bytes
#include <QGuiApplication>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "framework/graphics/graphics.h"
#include "framework/graphics/imagelist.h"
#include "framework/graphics/pixelimage.h"
#include "framework/graphics/qtgraphics.h"
#include "framework/text/binaryform.h"
#include "framework/text/componenttext.h"
#include "framework/text/packedtext.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> SplitArgs(const std::string& s) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == ',') {
            out.push_back(cur);
            cur.clear();
        } else if (c != ' ') {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

fw::Bytes Expand(const std::string& kind, const std::vector<std::string>& args,
                 const std::string& base) {
    auto path = [&](const std::string& f) { return base + "/" + f; };
    if (kind == "data") {
        std::string file = ReadFile(path(args.at(0)));
        fw::Bytes out(4);
        uint32_t n = static_cast<uint32_t>(file.size());
        for (int i = 0; i < 4; ++i)
            out[static_cast<size_t>(i)] = static_cast<uint8_t>(n >> (8 * i));
        out.insert(out.end(), file.begin(), file.end());
        return out;
    }
    if (kind == "picture" || kind == "icon") {
        fw::TPicture pic;
        fw::TBitmap bmp;
        bmp.LoadFromFile(path(args.at(0)));
        if (kind == "icon") {
            pic.Icon().LoadFromFile(path(args.at(0)));
            return pic.Data();
        }
        if (args.size() == 3) {
            fw::TBitmap cut;
            cut.SetImage(bmp.Image().copy(0, 0, std::stoi(args[1]), std::stoi(args[2])));
            pic.SetGraphic(&cut);
        } else {
            pic.SetGraphic(&bmp);
        }
        return pic.Data();
    }
    if (kind == "imagelist") {
        fw::TImageList list(nullptr);
        list.SetSize(std::stoi(args.at(0)), std::stoi(args.at(1)));
        for (size_t i = 2; i < args.size(); ++i) {
            fw::TBitmap bmp;
            bmp.LoadFromFile(path(args[i]));
            list.Add(bmp, nullptr);
        }
        return list.BitmapData();
    }
    throw std::runtime_error("unknown directive @" + kind);
}

std::string Hex(const fw::Bytes& data, const std::string& indent) {
    static const char* hex = "0123456789ABCDEF";
    std::string out = "{";
    for (size_t i = 0; i < data.size(); ++i) {
        if (i % 32 == 0) out += "\n" + indent;
        out += hex[data[i] >> 4];
        out += hex[data[i] & 15];
    }
    return out + "}";
}

// The bytes as an array initialiser, 16 to a line.
std::string ByteArray(std::string_view data) {
    std::string out;
    char item[8];
    for (size_t i = 0; i < data.size(); ++i) {
        if (i % 16 == 0) out += "\n   ";
        std::snprintf(item, sizeof item, " 0x%02X,", static_cast<unsigned char>(data[i]));
        out += item;
    }
    return out;
}

// Every binary value of the tree, in lists and collection items too, with its pictures as
// pixel images.
void UsePixelImages(std::vector<fw::PropertyLine>& lines);
void UsePixelImages(fw::TextValue& v) {
    if (v.type == fw::TextValue::Type::Binary) v.bytes = fw::PixelFormData(v.bytes);
    for (fw::TextValue& e : v.elements) UsePixelImages(e);
    for (fw::CollectionItemText& item : v.items) UsePixelImages(item.props);
}
void UsePixelImages(std::vector<fw::PropertyLine>& lines) {
    for (fw::PropertyLine& line : lines) UsePixelImages(line.value.front());
}
void UsePixelImages(fw::ObjectText& o) {
    UsePixelImages(o.props);
    for (fw::ObjectText& child : o.children) UsePixelImages(child);
}

// Expands the directives of the template's lines.
std::string ExpandTemplate(const std::string& templ, const std::string& base) {
    std::istringstream in(templ);
    std::string line, text;
    while (std::getline(in, line)) {
        // "<indent>Path = @kind(args)"
        size_t at = line.find("= @");
        size_t open = line.find('(', at == std::string::npos ? 0 : at);
        size_t close = line.rfind(')');
        if (at == std::string::npos || open == std::string::npos || close == std::string::npos ||
            close < open) {
            text += line + "\n";
            continue;
        }
        std::string indent = line.substr(0, line.find_first_not_of(' ')) + "  ";
        std::string kind = line.substr(at + 3, open - at - 3);
        std::string args = line.substr(open + 1, close - open - 1);
        text += line.substr(0, at + 2) + Hex(Expand(kind, SplitArgs(args), base), indent) + "\n";
    }
    return text;
}

// An accessor of bytes compiled in: result makes the return value of data, their view.
std::string Accessor(const std::string& signature, std::string_view bytes,
                     const std::string& result) {
    return signature + " {\n    alignas(16) static const unsigned char bytes[] = {" +
           ByteArray(bytes) +
           "\n    };\n    const std::string_view data(reinterpret_cast<const char*>(bytes), "
           "sizeof bytes);\n    return " +
           result + ";\n}\n";
}

void WriteSource(const std::string& path, const std::string& from, const std::string& includes,
                 const std::string& body) {
    std::ofstream out(path, std::ios::binary);
    out << "// Made by embedres from " << from << "; do not edit.\n"
        << includes << "\nnamespace resources {\n"
        << body << "}  // namespace resources\n";
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: embedres TEMPLATE BASEDIR BINARY.cpp TEXT.cpp FUNCTION\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    try {
        fw::RegisterGraphicsClasses();
        const std::string function = argv[5];
        const std::string text = ExpandTemplate(ReadFile(argv[1]), argv[2]);
        fw::ObjectText tree = fw::ParseComponentText(text);
        UsePixelImages(tree);
        const std::string binary = fw::WriteBinaryForm(tree);
        // Stored as it is: unpacking cost more start-up time than the bytes it saved
        // (bench/descbench).
        WriteSource(argv[3], argv[1], "#include \"resources/descriptions.h\"\n",
                    Accessor("std::string_view " + function + "()", binary, "data"));
        WriteSource(argv[4], argv[1],
                    "#include \"framework/text/packedtext.h\"\n"
                    "#include \"resources/descriptiontexts.h\"\n",
                    "// " + std::to_string(text.size()) + " bytes of text.\n" +
                        Accessor("std::string " + function + "Text()", fw::PackText(text),
                                 "fw::UnpackText(data)"));
    } catch (const std::exception& e) {
        std::cerr << "embedres: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
