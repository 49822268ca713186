#include "canvas/project/CarriedMasks.h"

#include "library/items/MaskLibrary.h"

#include <map>
#include <mutex>

namespace mosaiq {

namespace {

struct Store {
    std::mutex lock;
    std::map<std::array<std::uint8_t, 16>, KeyedEntry> entries;
};

Store& TheStore() {
    static Store store;
    return store;
}

} // namespace

void KeepCarriedMask(const Guid& key, int width, int height, const QByteArray& encoded) {
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    KeyedEntry entry;
    entry.width = width;
    entry.height = height;
    entry.key = key;
    entry.encoded = encoded;
    store.entries.emplace(key.bytes, std::move(entry));
}

std::optional<KeyedEntry> FindCarriedMaskRaw(const Guid& key) {
    Store& store = TheStore();
    std::lock_guard guard(store.lock);
    const auto found = store.entries.find(key.bytes);
    if (found == store.entries.end())
        return std::nullopt;
    return found->second;
}

QImage FindCarriedMask(const Guid& key) {
    const std::optional<KeyedEntry> entry = FindCarriedMaskRaw(key);
    if (!entry)
        return {};
    const std::optional<MaskPicture> mask = DecodeKeyedEntry(*entry);
    return mask ? mask->image : QImage();
}

} // namespace mosaiq
