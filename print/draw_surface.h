// What a printed page needs from a device context, and nothing more, so the
// page drawing can run (and be tested) without Windows. Coordinates are page
// units; text is Big5 bytes. The GDI side fixes every font parameter except
// height and face: width 0, normal weight, Big5 character set, stroke output
// and clip precision, draft quality, fixed pitch and modern family.
#pragma once

#include <cstdint>

namespace kestra {

// An opaque drawing object: a font, the rule pen or the null brush.
using SurfaceObject = void*;

class DrawSurface {
  public:
    virtual ~DrawSurface() = default;

    // Created objects are the caller's to delete; a failed creation gives null.
    virtual SurfaceObject createFont(int32_t height, const char* face) = 0;
    // The 3-wide black solid pen of the rules under the headings.
    virtual SurfaceObject createRulePen() = 0;
    // The stock hollow brush; never deleted.
    virtual SurfaceObject nullBrush() = 0;

    // Returns the object of the same kind that was selected before, so the
    // caller can put it back before deleting its own.
    virtual SurfaceObject select(SurfaceObject object) = 0;
    virtual void deleteObject(SurfaceObject object) = 0;

    // Reference point at the top left of the text.
    virtual void textOut(int32_t x, int32_t y, const char* text, int length) = 0;
    virtual void rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    virtual void moveTo(int32_t x, int32_t y) = 0;
    virtual void lineTo(int32_t x, int32_t y) = 0;
    // Width of the text in the selected font.
    virtual int32_t textWidth(const char* text, int length) = 0;
};

// Deletes a created object when it goes out of scope. Declare it before the
// SelectionKeeper that selects the object, so the object is put out of the
// device context before it is deleted.
class SurfaceObjectOwner {
  public:
    SurfaceObjectOwner(DrawSurface& surface, SurfaceObject object)
        : surface_(surface), object_(object) {}
    ~SurfaceObjectOwner() {
        if (object_)
            surface_.deleteObject(object_);
    }
    SurfaceObjectOwner(const SurfaceObjectOwner&) = delete;
    SurfaceObjectOwner& operator=(const SurfaceObjectOwner&) = delete;

    SurfaceObject get() const { return object_; }

  private:
    DrawSurface& surface_;
    SurfaceObject object_;
};

// Selects objects of one kind and, when it goes out of scope, puts back the
// object that the first selection displaced. A null object (a creation that
// failed) is not selected, so the original is never lost to it.
class SelectionKeeper {
  public:
    explicit SelectionKeeper(DrawSurface& surface) : surface_(surface) {}
    ~SelectionKeeper() {
        if (kept_)
            surface_.select(kept_);
    }
    SelectionKeeper(const SelectionKeeper&) = delete;
    SelectionKeeper& operator=(const SelectionKeeper&) = delete;

    void select(SurfaceObject object) {
        if (!object)
            return;
        SurfaceObject displaced = surface_.select(object);
        if (!kept_)
            kept_ = displaced;
    }

  private:
    DrawSurface& surface_;
    SurfaceObject kept_ = nullptr;
};

} // namespace kestra
