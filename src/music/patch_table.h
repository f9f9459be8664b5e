#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace fretlets {

// The MIDI standard whose patch list is in use; the value is stored in scores.
enum class MidiStandard : std::int8_t { GM = 0, XG = 1 };

// One sound of a standard. The bank goes out as bank-select LSB.
struct PatchRow {
  std::uint8_t program;
  std::uint8_t bank;
  std::string_view name;
};

// Rows in list order; a row's index is what scores store, so the order of
// the rows never changes.
std::span<const PatchRow> patchTable(MidiStandard standard);

// The nylon guitar row of each list, chosen whenever the standard changes.
constexpr int defaultPatchRow(MidiStandard standard) {
  return standard == MidiStandard::XG ? 95 : 24;
}

}  // namespace fretlets
