// The built-in data files live in this library's Qt resources under ":/data/"; this translation
// unit only gives the static library a home for them.
namespace mosaiq {
int BuiltinResourcesLinked() { return 1; }
} // namespace mosaiq
