#pragma once

#include "canvas/document/Records.h"

#include <QByteArray>
#include <QPoint>
#include <QPolygonF>
#include <QSize>

#include <memory>
#include <optional>
#include <variant>

namespace mosaiq {

// Pictures the compositor keeps for one object (decoded, scaled, masked, tuned). Defined by the
// compositor; the document only drops it.
struct ObjectCache;

using ObjectRecord = std::variant<ClipartRecord, StampRecord, TextRecord, PhotoRecord>;

// One object of the collage: its stored record plus what only the running program holds (the
// hit region mapped to window pixels and the cached pictures).
class CanvasObject {
public:
    explicit CanvasObject(ObjectRecord record);

    ObjectKind Kind() const;

    ObjectRecord record;
    // Runtime: the object's hit region in surface pixels (the zoomed canvas's, before the view's
    // scroll offsets), as last drawn; empty until drawn.
    QPolygonF screenRegion;
    // Runtime: the compositor's pictures for this object; null when they must be rebuilt.
    std::shared_ptr<ObjectCache> cache;
    // A photo's picture is turned upright by its orientation tag. Set for every photo the user
    // adds (CollageDocument::AddPhoto) and for those a project's upright list names; clear for
    // the photos of a project written before, which keep the stored pixels their geometry was
    // measured on. Not a runtime field: the history keeps it and the project file lists the
    // upright photos.
    bool upright = false;
    // The cell of the collage's layout this photo fills (CollageDocument::layout); -1 for a free
    // object. Kept by the history and the project's layout block, like upright.
    int layoutCell = -1;

    // Typed access; null when the object is of another kind.
    ClipartRecord* Clipart() { return std::get_if<ClipartRecord>(&record); }
    StampRecord* Stamp() { return std::get_if<StampRecord>(&record); }
    TextRecord* Text() { return std::get_if<TextRecord>(&record); }
    PhotoRecord* Photo() { return std::get_if<PhotoRecord>(&record); }
    const ClipartRecord* Clipart() const { return std::get_if<ClipartRecord>(&record); }
    const StampRecord* Stamp() const { return std::get_if<StampRecord>(&record); }
    const TextRecord* Text() const { return std::get_if<TextRecord>(&record); }
    const PhotoRecord* Photo() const { return std::get_if<PhotoRecord>(&record); }

    // Fields every kind has, whatever their offsets.
    bool Selected() const;
    void SetSelected(bool selected);
    int RegionIndex() const;
    void SetRegionIndex(int index);
    QPoint Position() const; // top-left corner in canvas pixels, before rotation
    void SetPosition(QPoint p);
    QPoint DragOrigin() const;
    void SetDragOrigin(QPoint p);
    float Angle() const;
    void SetAngle(float degrees);
    float Scale() const;
    void SetScale(float scale);
    // Scale at which the hit region was built (1 for text).
    float RegionScale() const;
    void SetRegionScale(float scale);
    // Unscaled size: the picture for cliparts and stamps, the measured box for text, the box for
    // photos.
    QSize UnscaledSize() const;
    // The region rectangle's size: trunc(size x regionScale).
    QSize RegionSize() const;
    // The tuning block, or null for text.
    TuningBlock* Tuning();
    const TuningBlock* Tuning() const;

    // Forgets runtime state: the mapped region and the cached pictures; clears the record's
    // runtime fields.
    void ClearRuntime();
    // Drops the cached pictures only.
    void DropCaches() { cache.reset(); }

    // The record's stored bytes (runtime fields as they are in memory).
    QByteArray RecordBytes() const;
    // Builds an object from kind and stored bytes; nullopt when kind is no kind or the size is
    // wrong.
    static std::optional<CanvasObject> FromBytes(std::int32_t kind, QByteArrayView bytes);
};

// Kind names as people read them ("Clipart", "BrushStamp", "Text", "Photo").
const char* KindName(ObjectKind kind);

} // namespace mosaiq
