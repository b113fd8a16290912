#include "tests/settings/store_support.h"

namespace storetest {

const fw::EnumInfo& KindInfo() {
    static const fw::EnumInfo info{"TKind", {"tkOne", "tkTwo", "tkThree"}};
    return info;
}

const fw::TClassInfo& TThingItem::StaticClassInfo() {
    static const fw::TClassInfo info =
        fw::ClassBuilder<TThingItem>("TThingItem", &fw::TCollectionItem::StaticClassInfo())
            .String("Caption", &TThingItem::Caption, &TThingItem::SetCaption, std::string())
            .Integer("Value", &TThingItem::Value, &TThingItem::SetValue, 0)
            .Build();
    return info;
}

const fw::TClassInfo& TThing::StaticClassInfo() {
    static const fw::TClassInfo info =
        fw::ClassBuilder<TThing>("TThing", &fw::TComponent::StaticClassInfo())
            .String("Caption", &TThing::Caption, &TThing::SetCaption, std::string())
            .Object("Lines", &TThing::Lines)
            .Integer("Count", &TThing::Count, &TThing::SetCount, 0)
            .Binary("Data", &TThing::Data, &TThing::SetData)
            .Enum("Kind", &TThing::Kind, &TThing::SetKind, KindInfo(), tkOne)
            .Object("Notes", &TThing::Notes)
            .Collection("Items", &TThing::Items)
            .Boolean("Checked", &TThing::Checked, &TThing::SetChecked, false)
            .Creatable()
            .Build();
    return info;
}

TThing::TThing(fw::TComponent* owner)
    : fw::TComponent(owner), items_(std::make_unique<fw::TCollection>([](fw::TCollection& c) {
          return std::unique_ptr<fw::TCollectionItem>(std::make_unique<TThingItem>(&c));
      })) {}

TThingItem* TThing::AddItem(const std::string& caption, int value) {
    auto* item = static_cast<TThingItem*>(items_->Add());
    item->SetCaption(caption);
    item->SetValue(value);
    return item;
}

const fw::TClassInfo& TTestModule::StaticClassInfo() {
    static const fw::TClassInfo info =
        fw::ClassBuilder<TTestModule>("TTestModule", &fw::TComponentContainer::StaticClassInfo())
            .Enum("Mode", &TTestModule::Mode, &TTestModule::SetMode, KindInfo(), tkOne)
            .Integer("Left", &TTestModule::Left, &TTestModule::SetLeft, 0)
            .Creatable()
            .Build();
    return info;
}

void EnsureApplication() {
    static bool done = [] {
        static int argc = 1;
        static char name[] = "test_settings";
        static char* argv[] = {name, nullptr};
        auto* app = new fw::TAppController(nullptr);
        app->Initialize(argc, argv);
        fw::RegisterFrameworkClasses();
        settings::RegisterPropStoreClasses();
        fw::RegisterClass(TThing::StaticClassInfo());
        fw::RegisterClass(TTestModule::StaticClassInfo());
        return true;
    }();
    (void)done;
}

void StoreTest::SetUp() {
    EnsureApplication();
    std::string tmpl = (std::filesystem::temp_directory_path() / "rz-store-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    if (const char* old = ::getenv("XDG_CONFIG_HOME")) oldXdg_ = old;
    ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    oldReporter_ = settings::SetStoreErrorReporter(
        [this](fw::TPropertyObject*, const std::exception& e) { reported_.push_back(e.what()); });
}

void StoreTest::TearDown() {
    module_.reset();
    settings::SetStoreErrorReporter(oldReporter_);
    if (oldXdg_)
        ::setenv("XDG_CONFIG_HOME", oldXdg_->c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

std::string StoreTest::ReadFile(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void StoreTest::WriteFile(const std::string& path, const std::string& text) const {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

TTestModule& StoreTest::MakeModule() {
    module_.reset(new TTestModule(nullptr));
    module_->SetName("Module1");
    store_ = new settings::TPropertyStore(module_.get());
    store_->SetName("PropertyStore1");
    store_->SetIniFileName("test.ini");
    store_->SetIniSection("S");
    thing1_ = new TThing(module_.get());
    thing1_->SetName("Thing1");
    thing2_ = new TThing(module_.get());
    thing2_->SetName("Thing2");
    return *module_;
}

settings::TStoredObject& StoreTest::Keep(fw::TComponent* c, std::vector<std::string> props) {
    settings::TStoredObject* item = store_->Items()->Add(c);
    for (const auto& p : props) item->StoredProp()->Add(p);
    return *item;
}

}  // namespace storetest
