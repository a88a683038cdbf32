// TVariableStore: the calculator's variables, names and values together, and
// the constants of its layout: 256 slots, "Pi" at 0, the memories A to F at 1
// to 6, "X" (the graph's variable) at 7, the user's own variables from 8 on.
// Core layer (standard C++ only). Used by the calculator model, presets, the
// variables and graph windows (through the model) and zumbrel-calc.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kVariableSlots = 256;
inline constexpr std::size_t kPiSlot = 0;
inline constexpr std::size_t kFirstMemorySlot = 1;  // A; B to F follow
inline constexpr std::size_t kMemoryCount = 6;
inline constexpr std::size_t kXSlot = 7;
inline constexpr std::size_t kFirstUserSlot = 8;
// The names every store starts with, at their fixed positions.
inline constexpr std::array<std::string_view, kFirstUserSlot> kFixedNames = {"Pi", "A", "B", "C",
                                                                             "D",  "E", "F", "X"};

using TVariableValues = std::array<long double, kVariableSlots>;

// Slot i holds the value of the name at position i. Every one of the 256
// slots has a value, named or not: the slot after the last name is where a
// variable being added takes its value from. At most 256 names.
class TVariableStore {
 public:
  // The fixed names; Pi holds pi, every other slot 0.
  TVariableStore();

  std::size_t Count() const { return FNames.size(); }
  bool Full() const { return FNames.size() >= kVariableSlots; }
  // The names in slot order, as the engine resolves them.
  const std::vector<std::string>& Names() const { return FNames; }
  const std::string& Name(std::size_t position) const { return FNames.at(position); }
  // Any text, the fixed names included (a renamed "A" still is memory A).
  void Rename(std::size_t position, std::string name);
  // The first position whose name equals `name` regardless of letter case,
  // or -1.
  int IndexOf(std::string_view name) const;

  // Slots 0 to 255; any other slot is an error (std::out_of_range).
  const long double& Value(std::size_t slot) const { return FValues.at(slot); }
  long double& Value(std::size_t slot) { return FValues.at(slot); }
  const TVariableValues& Values() const { return FValues; }

  // A new name at the end. Without a value it keeps the one its slot holds.
  // False, with nothing changed, when the store is full.
  bool Append(std::string name);
  bool Append(std::string name, long double value);
  // Sets the variable `name`, adding it when it is new. False when it is new
  // and the store is full.
  bool Define(std::string_view name, long double value);
  // Removes up to `count` names from `position` on, each with its value: the
  // names after them move up with their values (and so does the slot after
  // the last name). The fixed names are never removed: a `position` among
  // them removes nothing. Returns how many names went.
  std::size_t Erase(std::size_t position, std::size_t count);
  // Back to the fixed names (as they are now called); every value stays.
  void KeepFixedNames();

  bool operator==(const TVariableStore&) const = default;

 private:
  std::vector<std::string> FNames;
  TVariableValues FValues{};
};
