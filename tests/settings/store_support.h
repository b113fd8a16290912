#pragma once
// Shared pieces of the property store tests: a scratch settings directory, components with
// one published property of every kind the store flattens, and a recording error reporter.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "framework/app/application.h"
#include "framework/controls/forms.h"
#include "framework/core/classbuilder.h"
#include "framework/core/classregistry.h"
#include "settings/propstore.h"
#include "settings/storeerrors.h"

namespace storetest {

enum TKind { tkOne, tkTwo, tkThree };
const fw::EnumInfo& KindInfo();

class TThingItem : public fw::TCollectionItem {
    FW_CLASS(TThingItem)
  public:
    explicit TThingItem(fw::TCollection* c) : fw::TCollectionItem(c) {}
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v) { caption_ = v; }
    int Value() const { return value_; }
    void SetValue(int v) { value_ = v; }

  private:
    std::string caption_;
    int value_ = 0;
};

// Published, in this order: Caption, Lines, Count, Data, Kind, Notes, Items, Checked.
class TThing : public fw::TComponent {
    FW_CLASS(TThing)
  public:
    explicit TThing(fw::TComponent* owner);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v) { caption_ = v; }
    fw::TLineList* Lines() const { return lines_.get(); }
    int Count() const { return count_; }
    void SetCount(int v) { count_ = v; }
    const std::vector<uint8_t>& Data() const { return data_; }
    void SetData(fw::ByteView v) { data_.assign(v.begin(), v.end()); }
    TKind Kind() const { return kind_; }
    void SetKind(TKind v) { kind_ = v; }
    fw::TLineList* Notes() const { return notes_.get(); }
    fw::TCollection* Items() const { return items_.get(); }
    bool Checked() const { return checked_; }
    void SetChecked(bool v) { checked_ = v; }

    TThingItem* AddItem(const std::string& caption, int value);

  private:
    std::string caption_;
    std::unique_ptr<fw::TLineList> lines_ = std::make_unique<fw::TLineList>();
    int count_ = 0;
    std::vector<uint8_t> data_;
    TKind kind_ = tkOne;
    std::unique_ptr<fw::TLineList> notes_ = std::make_unique<fw::TLineList>();
    std::unique_ptr<fw::TCollection> items_;
    bool checked_ = false;
};

// A window-less owner: a data module with a published enumeration and integer of its own.
class TTestModule : public fw::TComponentContainer {
    FW_CLASS(TTestModule)
  public:
    explicit TTestModule(fw::TComponent* owner) : fw::TComponentContainer(owner) {}
    TKind Mode() const { return mode_; }
    void SetMode(TKind v) { mode_ = v; }
    int Left() const { return left_; }
    void SetLeft(int v) { left_ = v; }

  private:
    TKind mode_ = tkOne;
    int left_ = 0;
};

// The Qt application and the class registry, made once for the whole test program.
void EnsureApplication();

// Every test gets its own settings directory ($XDG_CONFIG_HOME/rezazo) and a reporter that
// records what the store reports instead of showing it.
class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string SettingsDir() const { return dir_ + "/rezazo"; }
    std::string IniPath(const std::string& name = "test.ini") const {
        return SettingsDir() + "/" + name;
    }
    std::string ReadFile(const std::string& path) const;
    void WriteFile(const std::string& path, const std::string& text) const;
    // A module named Module1 with a store (file "test.ini", section "S") and two things.
    TTestModule& MakeModule();
    settings::TStoredObject& Keep(fw::TComponent* c, std::vector<std::string> props);

    std::string dir_;
    std::optional<std::string> oldXdg_;
    settings::StoreErrorReporter oldReporter_;
    std::vector<std::string> reported_;
    fw::ComponentPtr<TTestModule> module_;
    settings::TPropertyStore* store_ = nullptr;
    TThing* thing1_ = nullptr;
    TThing* thing2_ = nullptr;
};

}  // namespace storetest
