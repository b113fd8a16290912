#include "framework/core/keystore.h"

#include <QSettings>
#include <algorithm>
#include <cctype>

#include "platform/paths.h"

namespace fw {

namespace {
QString GroupOf(const std::string& key) {
    QString g = QString::fromStdString(key);
    g.replace('\\', '/');
    return g;
}
}  // namespace

// On Unix the native format is an INI file; it lives in the per-user settings directory,
// found anew for every store so that a changed XDG_CONFIG_HOME is followed.
TKeyStore::TKeyStore()
    : settings_(std::make_unique<QSettings>(
          QString::fromStdString(platform::SettingsDir() + "/registry.conf"),
          QSettings::NativeFormat)) {}

TKeyStore::~TKeyStore() = default;

void TKeyStore::DeleteKey(const std::string& key) { settings_->remove(GroupOf(key)); }

void TKeyStore::WriteString(const std::string& key, const std::string& name,
                            const std::string& value) {
    settings_->beginGroup(GroupOf(key));
    settings_->setValue(QString::fromStdString(name), QString::fromStdString(value));
    settings_->endGroup();
}

std::vector<std::pair<std::string, std::string>> TKeyStore::ReadValues(
    const std::string& key) const {
    std::vector<std::pair<std::string, std::string>> out;
    settings_->beginGroup(GroupOf(key));
    for (const QString& name : settings_->childKeys())
        out.emplace_back(name.toStdString(), settings_->value(name).toString().toStdString());
    settings_->endGroup();
    std::stable_sort(out.begin(), out.end(),
                     [](const auto& a, const auto& b) { return NaturalLess(a.first, b.first); });
    return out;
}

bool TKeyStore::Flush() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

std::string TKeyStore::Location() const { return settings_->fileName().toStdString(); }

bool NaturalLess(const std::string& a, const std::string& b) {
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            size_t ei = i, ej = j;
            while (ei < a.size() && digit(a[ei])) ++ei;
            while (ej < b.size() && digit(b[ej])) ++ej;
            // Compare the runs by value: drop leading zeros, then shorter is smaller.
            size_t si = i, sj = j;
            while (si + 1 < ei && a[si] == '0') ++si;
            while (sj + 1 < ej && b[sj] == '0') ++sj;
            if (ei - si != ej - sj) return ei - si < ej - sj;
            int c = a.compare(si, ei - si, b, sj, ej - sj);
            if (c != 0) return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

}  // namespace fw
