// Removing the default face's own EUDC link while the system default EUDC
// font is printed through that face, and putting it back. The user's link must
// survive anything that happens meanwhile, a crash or a power cut included:
// the removed value is kept in the program's own per-user key, flushed, before
// it is deleted, and that copy goes only once the link is back. A copy left by
// an earlier run is put back at start-up, unless the user has linked the face
// again meanwhile.
//
// Several copies of the program may run at once, and all of them share the
// user's registry. Each copy of a link therefore names the run that holds it,
// and only that run writes it back while it is running; the others leave it
// alone. A copy whose run has ended (it crashed, or was killed) is anybody's
// to put back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "eudc/app_state.h"

namespace kestra {

// One registry value as read: its data (at most 255 bytes, NUL-terminated
// here whatever the registry held) and its own type.
struct LinkValue {
    char data[kSavedAssociationSize] = {};
    uint32_t size = 0;
    uint32_t type = 0;
};

constexpr uint32_t kLinkDataCapacity = 255;
constexpr int kLinkNameSize = 256;

// A link the program removed, as it keeps it on disk.
struct RemovedLink {
    char face[kLinkNameSize] = {};
    LinkValue value;
};

// The registry as the switch uses it: the user's links under EUDC\950, the
// program's copies of the links it has removed, and which run holds each.
class LinkRegistry {
  public:
    virtual ~LinkRegistry() = default;
    // False when the key cannot be opened, the value is missing, or its data
    // needs more than kLinkDataCapacity bytes.
    virtual bool readLink(const char* face, LinkValue& value) = 0;
    virtual bool hasLink(const char* face) = 0;
    // Writes the value with its own type and exactly its bytes.
    virtual bool writeLink(const char* face, const LinkValue& value) = 0;
    virtual void deleteLink(const char* face) = 0;

    // The program's copies; keepCopy returns only once the copy is on disk.
    virtual bool keepCopy(const char* face, const LinkValue& value) = 0;
    virtual void dropCopy(const char* face) = 0;
    // Every copy there is, in any order.
    virtual std::vector<RemovedLink> copies() = 0;

    // Records this run as the holder of the face's copy.
    virtual bool recordHolder(const char* face) = 0;
    virtual void dropHolder(const char* face) = 0;
    // True while the face's recorded holder is another run that is still
    // running. A holder that cannot be told apart from a new run with the
    // same process id counts as ended.
    virtual bool heldByAnotherRun(const char* face) = 0;
    // The faces that have a holder recorded, in any order.
    virtual std::vector<std::string> heldFaces() = 0;
};

// Removes the link of appState.defaultFaceName, keeping it in
// appState.savedAssociation and in a durable copy that names this run. Does
// nothing while a removed link is still held, by this run or another.
void removeDefaultFaceLink(LinkRegistry& registry);

// Writes the held link back with its own type, unless the face has been
// linked again meanwhile. A failed write keeps the link held, in memory and
// on disk, to be tried again.
void restoreDefaultFaceLink(LinkRegistry& registry);

// Puts back every link a run that has ended removed and never restored,
// unless the face has a link again; then forgets the copy. Copies held by
// runs still going are left to them.
void recoverRemovedLinks(LinkRegistry& registry);

} // namespace kestra
