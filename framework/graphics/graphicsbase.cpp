#include "framework/graphics/graphicsbase.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

#include "framework/core/classbuilder.h"
#include "framework/core/setifchanged.h"

namespace fw {

namespace {
struct FileFormat {
    std::string description;
    std::string className;
};

std::map<std::string, GraphicFactory, NameLess>& GraphicClasses() {
    static std::map<std::string, GraphicFactory, NameLess> m;
    return m;
}
std::map<std::string, FileFormat, NameLess>& FileFormats() {
    static std::map<std::string, FileFormat, NameLess> m;
    return m;
}
std::map<TClipboardFormat, std::string>& ClipboardGraphics() {
    static std::map<TClipboardFormat, std::string> m;
    return m;
}

std::string ExtensionOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return path.substr(dot + 1);
}
}  // namespace

const TClassInfo& TGraphic::StaticClassInfo() {
    static const TClassInfo info =
        ClassBuilder<TGraphic>("TGraphic", &TPropertyObject::StaticClassInfo()).Build();
    return info;
}

void TGraphic::SetTransparent(bool t) {
    if (SetIfChanged(transparent_, t)) Changed();
}

void TGraphic::LoadFromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Exception(Fmt(strings::kCannotOpenPictureFile, path));
    Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LoadFromStream(data);
}

void TGraphic::SaveToFile(const std::string& path) const {
    Bytes data;
    SaveToStream(data);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw EFCreateError(Fmt(strings::kCannotCreateFile, path));
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    if (!out) throw EFCreateError(Fmt(strings::kCannotCreateFile, path));
}

void TGraphic::LoadFromClipboardFormat(TClipboardFormat, const ClipboardData&) {
    throw EInvalidGraphic(strings::kUnsupportedClipboardFormat);
}

void TGraphic::SaveToClipboardFormat(ClipboardData&) const {}

std::unique_ptr<TGraphic> TGraphic::NewEmpty() const {
    auto g = CreateGraphic(ClassName());
    if (!g) throw EClassNotFound(Fmt(strings::kClassNotFound, ClassName()));
    return g;
}

void RegisterGraphicClass(const std::string& className, GraphicFactory factory) {
    GraphicClasses()[className] = std::move(factory);
}

std::unique_ptr<TGraphic> CreateGraphic(const std::string& className) {
    auto it = GraphicClasses().find(className);
    if (it == GraphicClasses().end()) return nullptr;
    return it->second();
}

void RegisterFileFormat(const std::string& extension, const std::string& description,
                        const std::string& className) {
    FileFormats()[extension] = {description, className};
}

std::string GraphicClassForFile(const std::string& path) {
    auto it = FileFormats().find(ExtensionOf(path));
    return it == FileFormats().end() ? std::string() : it->second.className;
}

void RegisterClipboardGraphic(TClipboardFormat format, const std::string& className) {
    ClipboardGraphics()[format] = className;
}

std::string GraphicClassForClipboardFormat(TClipboardFormat format) {
    auto it = ClipboardGraphics().find(format);
    return it == ClipboardGraphics().end() ? std::string() : it->second;
}

}  // namespace fw
