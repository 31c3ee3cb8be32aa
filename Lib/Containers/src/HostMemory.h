#pragma once
// The one limit on host memory an image causes outside the arena: string
// contents, vector and stream buffers, bitmaps, fonts, decoded documents.
// Every such allocation is charged here first; passing the limit raises
// code 6, which the image can catch. Thread-safe: the mixer thread releases.
#include <cstddef>
#include <utility>

namespace hostmem {

constexpr size_t kDefaultLimit = size_t(1) << 30;   // 1 GiB

// Raises code 6 "Host memory limit reached" when used() + bytes would pass
// the limit; otherwise counts the bytes.
void charge(size_t bytes);
void release(size_t bytes);
size_t used();
size_t limit();
void setLimit(size_t bytes);
// Reads a limit as the hosts' command lines give it: a plain decimal count
// of bytes. False for anything else (signs, suffixes, overflow).
bool parseLimit(const char* text, size_t& out);

// Raises the code 6 an allocation refused by the system (std::bad_alloc)
// turns into.
[[noreturn]] void exhausted();

// Charges in its constructor, releases in its destructor (unless dismissed,
// for memory whose owner releases it later).
class Charge {
 public:
  Charge() = default;
  explicit Charge(size_t bytes) : bytes_(bytes) { charge(bytes); }
  Charge(Charge&& o) noexcept : bytes_(o.bytes_) { o.bytes_ = 0; }
  Charge& operator=(Charge&& o) noexcept {
    if (this != &o) {
      release();
      bytes_ = o.bytes_;
      o.bytes_ = 0;
    }
    return *this;
  }
  Charge(const Charge&) = delete;
  Charge& operator=(const Charge&) = delete;
  ~Charge() { release(); }

  // Changes the charged amount to bytes (raising when a growth would pass
  // the limit; the old charge then stays).
  void resize(size_t bytes);
  void release() {
    if (bytes_) hostmem::release(bytes_);
    bytes_ = 0;
  }
  // Keeps the bytes charged but forgets them.
  size_t dismiss() {
    size_t b = bytes_;
    bytes_ = 0;
    return b;
  }
  size_t bytes() const { return bytes_; }

 private:
  size_t bytes_ = 0;
};

// A temporary host copy of image data (a byte copy, a QString made from a
// VM string) that is charged while it lives, so a conversion cannot double
// what the limit allows. The charge is taken before the copy is made.
template <typename T>
class Held : private Charge, public T {
 public:
  template <typename... A>
  explicit Held(size_t bytes, A&&... args) : Charge(bytes), T(std::forward<A>(args)...) {}
  // For a copy that grows: resize the charge before the copy grows.
  Charge& charge() { return *this; }
};

}  // namespace hostmem
