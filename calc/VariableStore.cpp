#include "calc/VariableStore.h"

#include <algorithm>
#include <numbers>
#include <utility>

#include "engine/CalcExpress.h"

TVariableStore::TVariableStore() : FNames(kFixedNames.begin(), kFixedNames.end()) {
  FValues[kPiSlot] = std::numbers::pi_v<long double>;
}

void TVariableStore::Rename(std::size_t position, std::string name) {
  FNames.at(position) = std::move(name);
}

int TVariableStore::IndexOf(std::string_view name) const {
  return IndexOfName(FNames, name);
}

bool TVariableStore::Append(std::string name) {
  if (Full()) return false;
  FNames.push_back(std::move(name));
  return true;
}

bool TVariableStore::Append(std::string name, long double value) {
  if (!Append(std::move(name))) return false;
  FValues[FNames.size() - 1] = value;
  return true;
}

bool TVariableStore::Define(std::string_view name, long double value) {
  const int i = IndexOf(name);
  if (i >= 0) {
    FValues[static_cast<std::size_t>(i)] = value;
    return true;
  }
  return Append(std::string(name), value);
}

std::size_t TVariableStore::Erase(std::size_t position, std::size_t count) {
  if (position < kFirstUserSlot || position >= FNames.size()) return 0;
  const std::size_t erased = std::min(count, FNames.size() - position);
  const auto first = FNames.begin() + static_cast<std::ptrdiff_t>(position);
  FNames.erase(first, first + static_cast<std::ptrdiff_t>(erased));
  const auto from = FValues.begin() + static_cast<std::ptrdiff_t>(position);
  std::copy(from + static_cast<std::ptrdiff_t>(erased), FValues.end(), from);
  // The slots freed at the end hold nothing of a removed variable.
  std::fill(FValues.end() - static_cast<std::ptrdiff_t>(erased), FValues.end(), 0.0L);
  return erased;
}

void TVariableStore::KeepFixedNames() {
  if (FNames.size() > kFirstUserSlot) FNames.resize(kFirstUserSlot);
}
