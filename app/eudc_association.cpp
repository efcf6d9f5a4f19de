#include "app/eudc_association.h"

#include <windows.h>

const char kRemovedLinksKey[] = "Software\\Kestra\\Removed EUDC links";

namespace {

const char kEudcKey[] = "EUDC\\950";

// An open registry key, closed on every path.
class RegistryKey {
  public:
    RegistryKey(const char* path, REGSAM access) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, access, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    // Creates the key when it is missing.
    static RegistryKey created(const char* path) {
        RegistryKey k;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &k.key_, nullptr) != ERROR_SUCCESS)
            k.key_ = nullptr;
        return k;
    }
    RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() {
        if (key_)
            RegCloseKey(key_);
    }
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

  private:
    RegistryKey() = default;
    HKEY key_ = nullptr;
};

bool queryValue(HKEY key, const char* name, kestra::LinkValue& value) {
    kestra::LinkValue read;
    DWORD type = 0;
    DWORD size = kestra::kLinkDataCapacity;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(read.data), &size) !=
        ERROR_SUCCESS)
        return false;
    // The data may lack its terminator; what is held in memory never does.
    read.data[size] = '\0';
    read.size = size;
    read.type = type;
    value = read;
    return true;
}

bool setValue(HKEY key, const char* name, const kestra::LinkValue& value) {
    return RegSetValueExA(key, name, 0, value.type, reinterpret_cast<const BYTE*>(value.data),
                          value.size) == ERROR_SUCCESS;
}

CRegistryLinks& registryLinks() {
    static CRegistryLinks links;
    return links;
}

} // namespace

bool CRegistryLinks::readLink(const char* face, kestra::LinkValue& value) {
    RegistryKey key(kEudcKey, KEY_ALL_ACCESS);
    return key && queryValue(key.get(), face, value);
}

bool CRegistryLinks::hasLink(const char* face) {
    RegistryKey key(kEudcKey, KEY_READ);
    return key &&
           RegQueryValueExA(key.get(), face, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool CRegistryLinks::writeLink(const char* face, const kestra::LinkValue& value) {
    RegistryKey key(kEudcKey, KEY_ALL_ACCESS);
    return key && setValue(key.get(), face, value);
}

void CRegistryLinks::deleteLink(const char* face) {
    RegistryKey key(kEudcKey, KEY_ALL_ACCESS);
    if (key)
        RegDeleteValueA(key.get(), face);
}

bool CRegistryLinks::keepCopy(const char* face, const kestra::LinkValue& value) {
    RegistryKey key = RegistryKey::created(kRemovedLinksKey);
    return key && setValue(key.get(), face, value) && RegFlushKey(key.get()) == ERROR_SUCCESS;
}

void CRegistryLinks::dropCopy(const char* face) {
    RegistryKey key(kRemovedLinksKey, KEY_ALL_ACCESS);
    if (key && RegDeleteValueA(key.get(), face) == ERROR_SUCCESS)
        RegFlushKey(key.get());
}

std::vector<kestra::RemovedLink> CRegistryLinks::copies() {
    std::vector<kestra::RemovedLink> all;
    RegistryKey key(kRemovedLinksKey, KEY_READ);
    if (!key)
        return all;
    for (DWORD i = 0;; ++i) {
        kestra::RemovedLink link;
        DWORD nameSize = kestra::kLinkNameSize;
        DWORD size = kestra::kLinkDataCapacity;
        DWORD type = 0;
        const LONG rc = RegEnumValueA(key.get(), i, link.face, &nameSize, nullptr, &type,
                                      reinterpret_cast<BYTE*>(link.value.data), &size);
        if (rc == ERROR_NO_MORE_ITEMS)
            return all;
        // A value whose name or data does not fit is none of ours: pass it over.
        if (rc != ERROR_SUCCESS)
            continue;
        link.value.data[size] = '\0';
        link.value.size = size;
        link.value.type = type;
        all.push_back(link);
    }
}

void RemoveDefaultFaceAssociation() {
    kestra::removeDefaultFaceLink(registryLinks());
}

void RestoreDefaultFaceAssociation() {
    kestra::restoreDefaultFaceLink(registryLinks());
}

void RecoverRemovedAssociations() {
    kestra::recoverRemovedLinks(registryLinks());
}
