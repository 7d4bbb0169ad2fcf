// The resources of this library are compiled in by qt_add_resources; a static library needs one source.
namespace VxResources { int Anchor = 0; }
