#pragma once
// Bounds-checked reading of binary input. Every fixed-width field of an import library goes through
// here, so a size or offset read from a file can never lead to a read outside the buffer.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace korvane {

class ByteView {
 public:
  explicit ByteView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  std::span<const std::uint8_t> bytes() const { return bytes_; }

  // True when `count` bytes starting at `offset` lie inside the view (overflow-safe).
  bool Fits(std::uint64_t offset, std::uint64_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }

  // The `count` bytes at `offset`, or nothing when they do not fit.
  std::optional<std::span<const std::uint8_t>> Bytes(std::uint64_t offset, std::uint64_t count) const {
    if (!Fits(offset, count)) return std::nullopt;
    return bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
  }

  // The bytes from `offset` to the end; empty when `offset` is past the end.
  std::span<const std::uint8_t> Rest(std::uint64_t offset) const {
    return offset >= bytes_.size() ? std::span<const std::uint8_t>() : bytes_.subspan(static_cast<std::size_t>(offset));
  }

  std::optional<std::uint32_t> U32LittleEndian(std::uint64_t offset) const { return Unsigned<4, false>(offset); }
  std::optional<std::uint32_t> U32BigEndian(std::uint64_t offset) const { return Unsigned<4, true>(offset); }
  std::optional<std::uint64_t> U64BigEndian(std::uint64_t offset) const { return Unsigned<8, true>(offset); }

 private:
  template <std::size_t Width, bool BigEndian>
  auto Unsigned(std::uint64_t offset) const
      -> std::optional<std::conditional_t<Width == 8, std::uint64_t, std::uint32_t>> {
    using Value = std::conditional_t<Width == 8, std::uint64_t, std::uint32_t>;
    auto field = Bytes(offset, Width);
    if (!field) return std::nullopt;
    Value value = 0;
    for (std::size_t i = 0; i < Width; ++i) {
      const std::size_t index = BigEndian ? i : Width - 1 - i;
      value = static_cast<Value>((value << 8) | (*field)[index]);
    }
    return value;
  }

  std::span<const std::uint8_t> bytes_;
};

}  // namespace korvane
