// Removing the default face's own EUDC link while the system default EUDC
// font is printed through that face, and putting it back. The user's link must
// survive anything that happens meanwhile, a crash or a power cut included:
// the removed value is kept in the program's own per-user key, flushed, before
// it is deleted, and that copy goes only once the link is back.
//
// Several copies of the program may run at once, and all of them share the
// user's registry. Every run that shows the system default EUDC font records
// itself as a holder of the removed link, whoever removed it; the link comes
// back when the last holder has switched away or ended. A holder that has
// ended without writing the link back (it crashed, or was killed) holds
// nothing: any run that finds a copy without a running holder, at start-up,
// at a font command or at its end, puts the link back, unless the user has
// linked the face again meanwhile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestra {

// One registry value as stored: its exact bytes, of any length, and its type.
struct LinkValue {
    std::string data;
    uint32_t type = 0;
    bool operator==(const LinkValue&) const = default;
};

// The keys under HKEY_CURRENT_USER that the switch works on.
enum class LinkKey {
    eudcLinks,    // EUDC\950: the user's links, one value per face
    removedLinks, // the program's copies of the links it removed, per face
    linkHolders,  // one empty value per holding run, named after it and its face
    program,      // the program's own key, parent of the two above
};

// The registry as the switch uses it.
class LinkRegistry {
  public:
    virtual ~LinkRegistry() = default;
    // The value whole, whatever its size; false when the key or the value
    // cannot be read.
    virtual bool read(LinkKey key, const std::string& name, LinkValue& value) = 0;
    virtual bool has(LinkKey key, const std::string& name) = 0;
    // Writes exactly the value's bytes with its type. Creates the program's
    // keys when missing, never EUDC\950: a key the user deleted stays deleted.
    virtual bool write(LinkKey key, const std::string& name, const LinkValue& value) = 0;
    virtual void erase(LinkKey key, const std::string& name) = 0;
    // Returns once the key's contents are on disk.
    virtual bool flush(LinkKey key) = 0;
    // The names of the key's values, in any order.
    virtual std::vector<std::string> names(LinkKey key) = 0;
    // Deletes the key when it holds neither values nor keys.
    virtual void eraseIfEmpty(LinkKey key) = 0;
};

// A run of a program: its process id and the moment that process was
// created, which tells it from a later process given the same id.
struct RunId {
    uint32_t processId = 0;
    uint64_t created = 0;
};

// The processes of this user, as far as the switch needs them.
class ProcessTable {
  public:
    virtual ~ProcessTable() = default;
    virtual RunId thisRun() = 0;
    // When the process with that id was created; false when no process of
    // this user with that id is running.
    virtual bool creationOf(uint32_t processId, uint64_t& created) = 0;
};

// A holder's value name: "<process id>:<creation time as 16 hex digits>:<face>".
std::string holderName(const RunId& run, const std::string& face);
// False for a name that is not of that form.
bool parseHolderName(const std::string& name, RunId& run, std::string& face);

// Removes the link of appState.defaultFaceName, keeping it in
// appState.savedAssociation and in a durable copy, and records this run as a
// holder. When another run has removed it already, only joins the holders.
// Does nothing while this run holds a link already.
void removeDefaultFaceLink(LinkRegistry& registry, ProcessTable& processes);

// Leaves the holders. The last holder writes the link back with its own type
// and bytes, unless the face has been linked again meanwhile; a failed write
// keeps the link held, in memory and on disk, to be tried again.
void restoreDefaultFaceLink(LinkRegistry& registry, ProcessTable& processes);

// Puts back every link no running run holds, unless the face has a link
// again, then forgets its copy; forgets every holder that has ended.
void recoverRemovedLinks(LinkRegistry& registry, ProcessTable& processes);

} // namespace kestra
