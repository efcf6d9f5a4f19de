// A drawing surface that records what a page drew and checks the bookkeeping
// a device context would need: what is selected, what was created, what was
// deleted and whether anything was deleted while still selected.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "print/draw_surface.h"

namespace kestra::testing {

struct DrawnText {
    int32_t x;
    int32_t y;
    std::string text;
    std::string face; // of the font selected when it was drawn
    int32_t height;
};

struct DrawnBox {
    int32_t left, top, right, bottom;
    bool hollow; // drawn with the null brush
    int penWidth;
};

struct DrawnLine {
    int32_t fromX, fromY, toX, toY;
    int penWidth;
};

class RecordingSurface : public DrawSurface {
  public:
    RecordingSurface();

    SurfaceObject createFont(int32_t height, const char* face) override;
    SurfaceObject createRulePen() override;
    SurfaceObject nullBrush() override;
    SurfaceObject select(SurfaceObject object) override;
    void deleteObject(SurfaceObject object) override;
    void textOut(int32_t x, int32_t y, const char* text, int length) override;
    void rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void moveTo(int32_t x, int32_t y) override;
    void lineTo(int32_t x, int32_t y) override;
    // As a fixed-pitch font: every byte half the font's height wide.
    int32_t textWidth(const char* text, int length) override;

    // Creations fail (give null) from now on.
    void failFontCreation() { failFonts_ = true; }
    void failPenCreation() { failPens_ = true; }

    int createdCount() const { return created_; }
    int liveCount() const; // created and not yet deleted
    // The device context holds the font, pen and brush it started with.
    bool selectionsAsFound() const;
    // Misuses seen: deleting a selected, stock or deleted object, selecting
    // a deleted one.
    const std::vector<std::string>& faults() const { return faults_; }

    std::vector<DrawnText> texts;
    std::vector<DrawnBox> boxes;
    std::vector<DrawnLine> lines;
    std::vector<int32_t> fontHeightsCreated;
    std::vector<std::string> fontFacesCreated;

  private:
    enum class Kind { Font, Pen, Brush };
    struct Object {
        Kind kind;
        bool stock;
        bool deleted = false;
        std::string face;
        int32_t height = 0;
        int penWidth = 0;
    };

    Object* add(Object object);
    Object* asObject(SurfaceObject handle) const;
    Object*& selectedSlot(Kind kind);
    bool isSelected(const Object* object) const;

    std::deque<Object> objects_;
    Object* font_;
    Object* pen_;
    Object* brush_;
    Object* initialFont_;
    Object* initialPen_;
    Object* initialBrush_;
    Object* stockNullBrush_;
    int32_t penX_ = 0;
    int32_t penY_ = 0;
    int created_ = 0;
    bool failFonts_ = false;
    bool failPens_ = false;
    std::vector<std::string> faults_;
};

} // namespace kestra::testing
