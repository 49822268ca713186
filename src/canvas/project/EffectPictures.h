#pragma once

// Effect pictures: the PNG results of photo effects, each named by the SHA-1 of its bytes
// ("<40 lower-case hex digits>.png") in a folder named "Effects" (the data directory's in the
// editor). A project carries the effect pictures its photos use inside its file (the block
// "MQFX"), so it can be copied to another machine:
//   payload: uint32 count N, then N entries of 40 ASCII hex digits (the name without ".png"),
//            uint32 length L and L bytes of PNG (little-endian).
// Only the editor's Open writes carried pictures into "Effects/" and points the photos there;
// headless readers keep them in memory for this process (KeepCarriedEffectPictures).

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace mosaiq {

class CollageDocument;

struct CarriedEffectPicture {
    QString name;     // "<sha1>.png"
    QByteArray bytes; // the PNG, whose SHA-1 is the name
};

// True for "<40 lower-case hex digits>.png".
bool IsEffectPictureName(const QString& fileName);
// True when path names an effect picture: such a file name in a folder named "Effects".
bool IsEffectPicturePath(const QString& path);
// The name effect picture bytes are stored under.
QString EffectPictureName(const QByteArray& bytes);

// The effect pictures the document's photos use, once each in object order: from this process's
// carried pictures or read from their files (a file whose bytes do not match its name, or that
// cannot be read, is left out).
std::vector<CarriedEffectPicture> CollectEffectPictures(const CollageDocument& document);
// The block payload of pictures; empty for none.
QByteArray EncodeEffectPictures(const std::vector<CarriedEffectPicture>& pictures);
// Reads a payload. Entries whose bytes do not match their name are dropped; false with a reason
// when the payload is shorter than its sizes say. Sizes are checked before anything is copied.
bool DecodeEffectPictures(const QByteArray& payload, std::vector<CarriedEffectPicture>& pictures,
                          QString* error);

// The editor's Open: writes each carried picture into folder (unless a file of its name is
// there) and points every photo of the document whose effect picture has that name at it.
// Pictures that cannot be written are named in the returned lines; their photos keep their paths.
QStringList PlaceCarriedEffectPictures(CollageDocument& document,
                                       const std::vector<CarriedEffectPicture>& pictures,
                                       const QString& folder);
// Headless readers: keeps the pictures for this process; photos whose file is missing are drawn
// from them. Thread-safe.
void KeepCarriedEffectPictures(const std::vector<CarriedEffectPicture>& pictures);
// The kept bytes for an effect picture path's name, or nothing.
std::optional<QByteArray> FindCarriedEffectPicture(const QString& path);
// True when the photo at path can be drawn: its file exists, or it is an effect picture kept in
// memory.
bool PhotoSourceAvailable(const QString& path);

// Bookkeeping of the effect pictures this run made, so that the ones nobody uses are removed at
// exit. Thread-safe.
void NoteEffectPictureMade(const QString& path);
// Records the effect pictures a project saved in this run uses.
void NoteEffectPicturesSaved(const CollageDocument& document);
// Removes the effect pictures made in this run that neither open (the collage open at exit) nor
// a project saved in this run uses; returns how many files were removed.
int RemoveUnusedEffectPictures(const CollageDocument& open);

} // namespace mosaiq
