// The 24 ferrite toroids the designs are made on, and the five ferrite materials.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/numbers.h"

namespace vtq {

constexpr int kCoreCount = 24;
constexpr int kMaterialCount = 5;
constexpr int kFieldCount = 13;  // fields of an entry, numbered 1 to 13

struct CoreEntry {
  std::string_view CoreNumber;             // five-digit catalogue number
  double OD, ID, HT;                       // bare core, inches
  std::array<Integer, kMaterialCount> AL;  // mH per 1000 turns in D, P, N, S, R; 0 = not offered
  double PathLength;                       // cm
  double CrossSection;                     // cm2
  double CoreAreaProduct;                  // cm4, strictly rising with the entry number
  double TurnLength;                       // feet of wire for one turn around one bare core
};

// Entries 1 to 24 in catalogue order (index 0 is entry 1).
extern const std::array<CoreEntry, kCoreCount> CoreTable;

// Entry by its number 1 to 24; any other number fails the step that asks for it.
const CoreEntry& CoreAt(int entry);

// Field 1 to 13 of an entry by number, as the window reads "field 4 + material index":
// its value (field 1, the catalogue number, reads as the number it spells) and the
// text the window makes of it (reals in their shortest form, AL values as integers).
// A field number outside 1 to 13 fails the step.
double FieldValue(const CoreEntry& entry, int field);
std::string FieldText(const CoreEntry& entry, int field);
// The same text of catalogue entry 1 to 24, without making it again.
const std::string& EntryText(int entry, int field);

struct Material {
  char Letter;
  Integer Permeability;
  std::string_view OptionName;  // control name of its option button
  std::string_view Caption;     // caption of that button, ends in the micro sign
};

// Index 1 to 5 = D, P, N, S, R (index 0 unused so the window's numbers index it).
extern const std::array<Material, kMaterialCount + 1> Materials;
// The material of that letter, 1 to 5; 0 for a letter no material has.
int MaterialOfLetter(std::string_view letter);

}  // namespace vtq
