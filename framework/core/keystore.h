#pragma once
// A small per-user key store in the platform's native settings format. Keys are paths
// whose parts are separated by "\" or "/" ("Software\rezazo\TForm1"); each key holds named
// string values and subkeys.
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QSettings;

namespace fw {

class TKeyStore {
  public:
    TKeyStore();
    ~TKeyStore();
    TKeyStore(const TKeyStore&) = delete;
    TKeyStore& operator=(const TKeyStore&) = delete;

    // Removes the key with its values and all its subkeys.
    void DeleteKey(const std::string& key);
    void WriteString(const std::string& key, const std::string& name, const std::string& value);
    // The key's own values (not its subkeys'), names in natural order: digit runs compare
    // by number, so "Lines(2)" comes before "Lines(10)".
    std::vector<std::pair<std::string, std::string>> ReadValues(const std::string& key) const;
    // Writes pending changes out; false when the store could not be written.
    bool Flush();

    // Where the values are kept (a file on this platform).
    std::string Location() const;

  private:
    std::unique_ptr<QSettings> settings_;
};

// Natural ordering of value names, as ReadValues returns them.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace fw
