// Every window description loads the same from its text and from the binary form the program
// reads: the same components, property for property, and the same pictures pixel for pixel.
// A damaged picture in the binary form is refused naming the line of the text it came from.
#include <gtest/gtest.h>

#include <QImage>

#include "framework/graphics/imagelist.h"
#include "framework/graphics/picture.h"
#include "framework/graphics/qtgraphics.h"
#include "framework/text/binaryform.h"
#include "framework/text/componenttext.h"
#include "resources/descriptiontexts.h"
#include "tests/program/app_support.h"
#include "tests/support/anyhandlerform.h"
#include "tests/support/tempdir.h"

using namespace fw;

namespace {

struct Picture {
    std::string where;
    QImage image;
    int pixelFormat;
    bool operator==(const Picture&) const = default;
};

// The pictures a component holds in its published objects (pictures, bitmaps, icons), and an
// image list's images.
void Pictures(TPropertyObject& obj, const std::string& where, std::vector<Picture>& out) {
    if (auto* list = dynamic_cast<TImageList*>(&obj))
        for (int i = 0; i < list->Count(); ++i)
            out.push_back({where + "[" + std::to_string(i) + "]", list->ImageAt(i), -1});
    if (auto* bmp = dynamic_cast<TBitmap*>(&obj))
        out.push_back({where, bmp->Image(), bmp->PixelFormat()});
    if (auto* icon = dynamic_cast<TIcon*>(&obj)) out.push_back({where, icon->Image(), -1});
    if (auto* pic = dynamic_cast<TPicture*>(&obj); pic && pic->Graphic())
        Pictures(*pic->Graphic(), where + ".Graphic", out);
    for (const PropInfo* p : obj.ClassInfo().AllProps())
        if (p->kind == PropKind::Class)
            if (TPropertyObject* inner = p->Object().get(obj))
                Pictures(*inner, where + "." + p->name, out);
}

struct Loaded {
    std::string text;
    std::vector<Picture> pictures;
};

Loaded Load(std::string_view description) {
    testsupport::TAnyHandlerForm form(ReadDescriptionTree(description));
    form.Read(description);
    Loaded out{WriteComponentText(form), {}};
    for (int i = 0; i < form.ComponentCount(); ++i)
        Pictures(*form.Components(i), form.Components(i)->Name(), out.pictures);
    return out;
}

class DescriptionForms : public ::testing::Test {
  protected:
    void SetUp() override {
        testapp::App();
        setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);  // the main window's settings
    }
    testsupport::TempDir dir_;
};

TEST_F(DescriptionForms, EveryWindowLoadsTheSameFromBothForms) {
    for (const auto& forms : resources::kDescriptions) {
        SCOPED_TRACE(forms.window);
        ASSERT_TRUE(IsBinaryForm(forms.binary()));
        const Loaded text = Load(forms.text()), binary = Load(forms.binary());
        EXPECT_EQ(binary.text, text.text);
        EXPECT_FALSE(text.pictures.empty());
        EXPECT_TRUE(binary.pictures == text.pictures);
    }
}

TEST_F(DescriptionForms, ADamagedPictureNamesItsLine) {
    ObjectText tree = ReadBinaryForm(resources::AboutwindowDescription());
    PropertyLine& data = tree.children.at(0).props.back();
    ASSERT_EQ(data.path, "BitMap.Data");
    std::span<const uint8_t>& bytes = data.value.front().view;
    bytes = bytes.first(bytes.size() - 1);
    try {
        Load(WriteBinaryForm(tree));
        ADD_FAILURE() << "a truncated picture was read";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Line(), data.line);
        EXPECT_EQ(e.Line(), 21);
    }
}

}  // namespace
