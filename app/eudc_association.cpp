#include "app/eudc_association.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

const char kRemovedLinksKey[] = "Software\\Kestra\\Removed EUDC links";
const char kLinkHoldersKey[] = "Software\\Kestra\\EUDC link holders";

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

// A run of a program: its process id and when that process was created.
struct RunId {
    DWORD processId = 0;
    ULONGLONG created = 0;
};

bool creationTimeOf(HANDLE process, ULONGLONG& created) {
    FILETIME creation{}, exit{}, kernel{}, user{};
    if (!GetProcessTimes(process, &creation, &exit, &kernel, &user))
        return false;
    created = (static_cast<ULONGLONG>(creation.dwHighDateTime) << 32) | creation.dwLowDateTime;
    return true;
}

RunId thisRun() {
    RunId run;
    run.processId = GetCurrentProcessId();
    creationTimeOf(GetCurrentProcess(), run.created);
    return run;
}

std::string holderText(const RunId& run) {
    char text[32] = {};
    wsprintfA(text, "%lu:%08lX%08lX", static_cast<unsigned long>(run.processId),
              static_cast<unsigned long>(run.created >> 32),
              static_cast<unsigned long>(run.created & 0xFFFFFFFFu));
    return text;
}

// False for a record that is not "<decimal>:<16 hex digits>".
bool parseHolder(const char* text, RunId& run) {
    char* end = nullptr;
    const unsigned long id = strtoul(text, &end, 10);
    if (end == text || *end != ':' || std::strlen(end + 1) != 16)
        return false;
    const char* hex = end + 1;
    const unsigned long long created = strtoull(hex, &end, 16);
    if (*end != '\0' || !isxdigit(static_cast<unsigned char>(hex[0])))
        return false;
    run.processId = id;
    run.created = created;
    return true;
}

// The process still runs and is the very one that was recorded, not a new
// one that has been given the same id. A process this user may not look at
// is none of this user's runs.
bool isRunning(const RunId& run) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, run.processId);
    if (!process)
        return false;
    ULONGLONG created = 0;
    DWORD exitCode = 0;
    const bool same = creationTimeOf(process, created) && created == run.created;
    const bool alive = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
    CloseHandle(process);
    return same && alive;
}

bool readHolder(const char* face, RunId& run) {
    RegistryKey key(kLinkHoldersKey, KEY_READ);
    char text[32] = {};
    DWORD type = 0;
    DWORD size = sizeof text - 1;
    return key &&
           RegQueryValueExA(key.get(), face, nullptr, &type, reinterpret_cast<BYTE*>(text),
                            &size) == ERROR_SUCCESS &&
           type == REG_SZ && parseHolder(text, run);
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

bool CRegistryLinks::recordHolder(const char* face) {
    RegistryKey key = RegistryKey::created(kLinkHoldersKey);
    const std::string text = holderText(thisRun());
    return key &&
           RegSetValueExA(key.get(), face, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

void CRegistryLinks::dropHolder(const char* face) {
    RegistryKey key(kLinkHoldersKey, KEY_ALL_ACCESS);
    if (key)
        RegDeleteValueA(key.get(), face);
}

bool CRegistryLinks::heldByAnotherRun(const char* face) {
    RunId holder;
    if (!readHolder(face, holder))
        return false;
    const RunId self = thisRun();
    if (holder.processId == self.processId && holder.created == self.created)
        return false;
    return isRunning(holder);
}

std::vector<std::string> CRegistryLinks::heldFaces() {
    std::vector<std::string> faces;
    RegistryKey key(kLinkHoldersKey, KEY_READ);
    if (!key)
        return faces;
    for (DWORD i = 0;; ++i) {
        char face[kestra::kLinkNameSize] = {};
        DWORD nameSize = sizeof face;
        const LONG rc =
            RegEnumValueA(key.get(), i, face, &nameSize, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS)
            return faces;
        if (rc == ERROR_SUCCESS)
            faces.push_back(face);
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
