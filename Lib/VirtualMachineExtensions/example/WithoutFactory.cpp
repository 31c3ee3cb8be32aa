// A library that exports something, but not the factory (built as 42.so).
extern "C" __attribute__((visibility("default"))) int createExtensions() { return 42; }
