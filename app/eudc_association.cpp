#include "app/eudc_association.h"

#include <windows.h>

#include <string>

namespace {

using kestra::LinkKey;

// Serialises the switch between the copies of the program in this session,
// so that one never sees another's change half made.
const char kSwitchMutex[] = "Local\\Kestra EUDC links";
constexpr DWORD kSwitchWaitMs = 10000;

// Names are Big5 (the face names) or ASCII; the registry keeps them wide.
std::wstring wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring result(length > 0 ? length : 1, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, result.data(), length);
    result.resize(result.size() - 1);
    return result;
}

std::string narrow(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(length > 0 ? length : 1, '\0');
    if (length > 0)
        WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), length, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
}

// Under HKEY_CURRENT_USER.
const wchar_t* pathOf(LinkKey key) {
    switch (key) {
    case LinkKey::eudcLinks:
        return L"EUDC\\950";
    case LinkKey::removedLinks:
        return L"Software\\Kestra\\Removed EUDC links";
    case LinkKey::linkHolders:
        return L"Software\\Kestra\\EUDC link holders";
    case LinkKey::program:
        break;
    }
    return L"Software\\Kestra";
}

// An open registry key, closed on every path.
class RegistryKey {
  public:
    RegistryKey(LinkKey key, REGSAM access) {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, pathOf(key), 0, access, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    // Creates the key when it is missing.
    static RegistryKey created(LinkKey key) {
        RegistryKey k;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, pathOf(key), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
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

// Held for one operation of the switch. A copy that ended while it held the
// mutex leaves it abandoned, which is as good as free: every step the switch
// takes leaves the registry whole. A copy that does not let go in time is not
// waited for any longer than that.
class SwitchLock {
  public:
    SwitchLock() : mutex_(CreateMutexA(nullptr, FALSE, kSwitchMutex)) {
        if (!mutex_)
            return;
        const DWORD waited = WaitForSingleObject(mutex_, kSwitchWaitMs);
        owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~SwitchLock() {
        if (owned_)
            ReleaseMutex(mutex_);
        if (mutex_)
            CloseHandle(mutex_);
    }
    SwitchLock(const SwitchLock&) = delete;
    SwitchLock& operator=(const SwitchLock&) = delete;

  private:
    HANDLE mutex_;
    bool owned_ = false;
};

bool creationTimeOf(HANDLE process, uint64_t& created) {
    FILETIME creation{}, exit{}, kernel{}, user{};
    if (!GetProcessTimes(process, &creation, &exit, &kernel, &user))
        return false;
    created = (static_cast<uint64_t>(creation.dwHighDateTime) << 32) | creation.dwLowDateTime;
    return true;
}

CRegistryLinks& registryLinks() {
    static CRegistryLinks links;
    return links;
}

CRunningProcesses& runningProcesses() {
    static CRunningProcesses processes;
    return processes;
}

} // namespace

bool CRegistryLinks::read(LinkKey key, const std::string& name, kestra::LinkValue& value) {
    RegistryKey open(key, KEY_QUERY_VALUE);
    if (!open)
        return false;
    const std::wstring valueName = wide(name);
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(open.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    std::string data;
    // The value may grow between asking its size and reading it.
    while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
        data.resize(size);
        rc = RegQueryValueExW(open.get(), valueName.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &size);
        if (rc == ERROR_SUCCESS) {
            data.resize(size);
            value = kestra::LinkValue{data, type};
            return true;
        }
    }
    return false;
}

bool CRegistryLinks::has(LinkKey key, const std::string& name) {
    RegistryKey open(key, KEY_QUERY_VALUE);
    return open && RegQueryValueExW(open.get(), wide(name).c_str(), nullptr, nullptr, nullptr,
                                    nullptr) == ERROR_SUCCESS;
}

bool CRegistryLinks::write(LinkKey key, const std::string& name, const kestra::LinkValue& value) {
    RegistryKey open =
        key == LinkKey::eudcLinks ? RegistryKey(key, KEY_SET_VALUE) : RegistryKey::created(key);
    return open && RegSetValueExW(open.get(), wide(name).c_str(), 0, value.type,
                                  reinterpret_cast<const BYTE*>(value.data.data()),
                                  static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

void CRegistryLinks::erase(LinkKey key, const std::string& name) {
    RegistryKey open(key, KEY_SET_VALUE);
    if (open)
        RegDeleteValueW(open.get(), wide(name).c_str());
}

bool CRegistryLinks::flush(LinkKey key) {
    RegistryKey open(key, KEY_QUERY_VALUE);
    // A key that is gone has nothing left to write.
    return !open || RegFlushKey(open.get()) == ERROR_SUCCESS;
}

std::vector<std::string> CRegistryLinks::names(LinkKey key) {
    std::vector<std::string> all;
    RegistryKey open(key, KEY_QUERY_VALUE);
    if (!open)
        return all;
    // The longest value name the registry allows, and its NUL.
    std::vector<wchar_t> name(16384);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        const LONG rc = RegEnumValueW(open.get(), i, name.data(), &nameSize, nullptr, nullptr,
                                      nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS)
            return all;
        if (rc == ERROR_SUCCESS)
            all.push_back(narrow(name.data()));
    }
}

void CRegistryLinks::eraseIfEmpty(LinkKey key) {
    DWORD subkeys = 1, values = 1;
    {
        RegistryKey open(key, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS);
        if (!open ||
            RegQueryInfoKeyW(open.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                             &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return;
    }
    if (subkeys == 0 && values == 0)
        RegDeleteKeyW(HKEY_CURRENT_USER, pathOf(key));
}

kestra::RunId CRunningProcesses::thisRun() {
    kestra::RunId run;
    run.processId = GetCurrentProcessId();
    creationTimeOf(GetCurrentProcess(), run.created);
    return run;
}

// A process this user may not look at is none of this user's runs.
bool CRunningProcesses::creationOf(uint32_t processId, uint64_t& created) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return false;
    DWORD exitCode = 0;
    const bool running = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE &&
                         creationTimeOf(process, created);
    CloseHandle(process);
    return running;
}

void RemoveDefaultFaceAssociation() {
    SwitchLock lock;
    kestra::removeDefaultFaceLink(registryLinks(), runningProcesses());
}

void RestoreDefaultFaceAssociation() {
    SwitchLock lock;
    kestra::restoreDefaultFaceLink(registryLinks(), runningProcesses());
    kestra::recoverRemovedLinks(registryLinks(), runningProcesses());
}

void RecoverRemovedAssociations() {
    SwitchLock lock;
    kestra::recoverRemovedLinks(registryLinks(), runningProcesses());
}
