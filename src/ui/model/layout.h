// The design window's controls as data: names, captions, tool tips and places in twips,
// and the keyboard order. The Qt window and the web page both lay themselves out from it.
#pragma once

#include <string>

#include "engine/design_state.h"

namespace vtq::layout {

struct Place {
  int left, top, width, height;  // twips, relative to the window's client area or the frame
};

// Client area of the window: 10455 x 6930 twips.
inline constexpr int kClientWidth = 10455, kClientHeight = 6930;

struct FrameDef {
  const char* name;
  const char* caption;
  const char* tooltip;
  Place place;
};
inline constexpr FrameDef kFrames[] = {
    {"Frame1", "Ferrite Material", "Select the Ferrite Material to be used", {120, 1680, 2055, 2175}},
    {"InputFrame", "Select Design Mode", "Select the Design Mode", {120, 4080, 2055, 1815}},
    {"frmInput", "Design Inputs", "", {2280, 1680, 2775, 2535}},
    {"frmOutputs", "Design Outputs", "", {5160, 1680, 5175, 3735}},
    {"frmCore", "Core Data", "", {120, 6000, 10215, 855}},
};

// The window caption of the label beside an output box.
constexpr const char* BoxCaption(std::string OutputBoxes::*box) {
  return CaptionOf(box).window.data();
}

struct LabelDef {
  const char* name;
  const char* parent;  // frame, or "" for the window
  const char* caption;
  const char* tooltip;
  Place place;
};
inline constexpr LabelDef kLabels[] = {
    // One label a line; the four with tooltips run past the column limit.
    // clang-format off
    {"lblMainInput", "frmInput", "Inductance (mH)", "Desired inductance of each winding on core", {120, 360, 1455, 375}},
    {"lblCurrent", "frmInput", "Current (A)", "Line current flowing through each winding", {120, 960, 975, 255}},
    {"lblCD", "frmInput", "Current Density (A/sq cm)", "Current density used to choose wire size", {120, 1440, 1455, 495}},
    {"lblFrequency", "frmInput", "Cutoff Freq. (Hz)", "Target 'Cut-Off' frequency of CMN filter", {120, 2160, 1455, 255}},
    // clang-format on
    {"lblPN", "frmOutputs", BoxCaption(&OutputBoxes::txtPN), "", {120, 360, 1335, 255}},
    {"lblHeader", "frmOutputs", BoxCaption(&OutputBoxes::txtHeader), "", {120, 840, 1695, 255}},
    {"IndLabel", "frmOutputs", BoxCaption(&OutputBoxes::Inductance), "", {120, 1320, 1455, 255}},
    {"Label13", "frmOutputs", BoxCaption(&OutputBoxes::FrequencyOutput), "", {120, 1800, 1575, 255}},
    {"Label14", "frmOutputs", BoxCaption(&OutputBoxes::DCres), "", {120, 2280, 1455, 255}},
    {"lblAP", "frmOutputs", BoxCaption(&OutputBoxes::AreaProduct), "", {120, 2640, 1455, 375}},
    {"lblTrise", "frmOutputs", BoxCaption(&OutputBoxes::txtTrise), "", {120, 3120, 1095, 495}},
    {"lblDiffL", "frmOutputs", BoxCaption(&OutputBoxes::txtDiffL), "", {1920, 3120, 615, 375}},
    {"Label29", "frmOutputs", BoxCaption(&OutputBoxes::Turns), "", {3360, 240, 855, 375}},
    {"Label30", "frmOutputs", BoxCaption(&OutputBoxes::WireSize), "", {3360, 720, 975, 375}},
    {"Label36", "frmOutputs", BoxCaption(&OutputBoxes::WireLength), "", {3360, 1200, 855, 495}},
    {"lblWoundDim", "frmOutputs", "Wound Dimensions:", "", {3360, 1800, 1695, 255}},
    {"lblWoundOD", "frmOutputs", BoxCaption(&OutputBoxes::txtWoundOD), "", {3480, 2280, 495, 255}},
    {"lblWoundID", "frmOutputs", BoxCaption(&OutputBoxes::txtWoundID), "", {3480, 2760, 495, 255}},
    {"lblWoundHt", "frmOutputs", BoxCaption(&OutputBoxes::txtWoundHt), "", {3480, 3240, 495, 255}},
    {"Label31", "frmCore", BoxCaption(&OutputBoxes::OD), "", {1440, 360, 375, 255}},
    {"Label32", "frmCore", BoxCaption(&OutputBoxes::ID), "", {2880, 360, 375, 255}},
    {"Label33", "frmCore", BoxCaption(&OutputBoxes::HT), "", {4320, 360, 375, 255}},
    {"Label34", "frmCore", BoxCaption(&OutputBoxes::AL), "", {5880, 240, 1095, 495}},
    {"Label26", "frmCore", BoxCaption(&OutputBoxes::FAP), "", {8040, 240, 1215, 495}},
};

struct InputDef {
  const char* name;
  std::string InputControls::*text;
  Place place;
};
// In keyboard order, as they stand on the screen.
inline constexpr InputDef kInputs[] = {
    {"MainInput", &InputControls::MainInput, {1680, 360, 855, 285}},
    {"Current", &InputControls::Current, {1680, 960, 855, 285}},
    {"txtCD", &InputControls::txtCD, {1680, 1560, 855, 285}},
    {"SecondInput", &InputControls::SecondInput, {1680, 2160, 855, 285}},
};

struct OutputDef {
  const char* name;
  const char* parent;
  std::string OutputBoxes::*text;
  Place place;
  // What tells apart boxes whose captions read the same (the wound and the bare core
  // each have an OD): how a screen reader and Copy Results name the value.
  const char* qualifier = "";
};
inline constexpr OutputDef kOutputs[] = {
    {"txtPN", "frmOutputs", &OutputBoxes::txtPN, {1800, 360, 1455, 285}},
    {"txtHeader", "frmOutputs", &OutputBoxes::txtHeader, {1800, 840, 1455, 285}},
    {"Inductance", "frmOutputs", &OutputBoxes::Inductance, {1800, 1320, 1455, 285}},
    {"FrequencyOutput", "frmOutputs", &OutputBoxes::FrequencyOutput, {1800, 1800, 1455, 285}},
    {"DCres", "frmOutputs", &OutputBoxes::DCres, {1800, 2280, 1455, 285}},
    {"AreaProduct", "frmOutputs", &OutputBoxes::AreaProduct, {1800, 2760, 1455, 285}},
    {"txtTrise", "frmOutputs", &OutputBoxes::txtTrise, {1200, 3240, 615, 285}},
    {"txtDiffL", "frmOutputs", &OutputBoxes::txtDiffL, {2520, 3240, 735, 285}},
    {"Turns", "frmOutputs", &OutputBoxes::Turns, {4200, 360, 855, 285}},
    {"WireSize", "frmOutputs", &OutputBoxes::WireSize, {4200, 840, 855, 285}},
    {"WireLength", "frmOutputs", &OutputBoxes::WireLength, {4200, 1320, 855, 285}},
    {"txtWoundOD", "frmOutputs", &OutputBoxes::txtWoundOD, {3960, 2280, 1095, 285}, "Wound "},
    {"txtWoundID", "frmOutputs", &OutputBoxes::txtWoundID, {3960, 2760, 1095, 285}, "Wound "},
    {"txtWoundHt", "frmOutputs", &OutputBoxes::txtWoundHt, {3960, 3240, 1095, 285}, "Wound "},
    {"OD", "frmCore", &OutputBoxes::OD, {1800, 360, 975, 285}, "Core "},
    {"ID", "frmCore", &OutputBoxes::ID, {3240, 360, 975, 285}, "Core "},
    {"HT", "frmCore", &OutputBoxes::HT, {4680, 360, 975, 285}, "Core "},
    {"AL", "frmCore", &OutputBoxes::AL, {7080, 360, 855, 285}},
    {"FAP", "frmCore", &OutputBoxes::FAP, {9240, 360, 855, 285}},
};

struct ButtonDef {
  const char* name;
  const char* caption;
  Place place;
};
inline constexpr ButtonDef kButtons[] = {
    {"CalculateButton", "&Calculate", {3000, 4440, 1335, 375}},
    {"ExitButton", "E&xit", {3000, 4920, 1335, 375}},
    {"PrintButton", "&Print", {3000, 5400, 1335, 375}},
    {"cmdSelCore", "&Select Core from List", {6720, 5520, 2055, 375}},
};

// An option button has what a label has.
using OptionDef = LabelDef;
// The mode and unit options; the material options come from the material table, one
// below the other (MaterialOptionPlace).
inline constexpr OptionDef kOptions[] = {
    {"VoltageInput", "InputFrame", "Voltage Mode", "", {120, 240, 975, 375}},
    {"ImpedanceInput", "InputFrame", "Impedance Mode", "", {120, 720, 1455, 375}},
    {"InductanceInput", "InputFrame", "Inductance Mode", "", {120, 1200, 1335, 375}},
    {"English", "frmCore", "English", "Click to change to English dimensions", {360, 240, 975, 255}},
    {"Metric", "frmCore", "Metric", "Click to change to Metric dimensions", {360, 480, 975, 195}},
};
// Material options 1 to 5 (D, P, N, S, R) in the frame "Frame1".
constexpr Place MaterialOptionPlace(int material) {
  return {240, 240 + 360 * (material - 1), 1335, 255};
}

inline constexpr const char* kTitleCaption = "Kestralon Common Mode Inductor Design";
inline constexpr Place kTitlePlace{240, 240, 6015, 1455};
inline constexpr Place kToroidPicturePlace{7320, 0, 2295, 1695};  // imgvtq
inline constexpr Place kLogoPlace{8235, 615, 480, 480};           // imgKstIcon
inline constexpr Place kCoreListPlace{6360, 5520, 2835, 1425};    // lstCores

// Buttons, the mode options, the material options, then the inputs in screen order.
inline constexpr const char* kTabOrder[] = {"CalculateButton",
                                            "ExitButton",
                                            "PrintButton",
                                            "VoltageInput",
                                            "ImpedanceInput",
                                            "InductanceInput",
                                            "Dmat",
                                            "Pmat",
                                            "Nmat",
                                            "Smat",
                                            "Rmat",
                                            "MainInput",
                                            "Current",
                                            "txtCD",
                                            "SecondInput",
                                            "cmdSelCore",
                                            "lstCores",
                                            "English",
                                            "Metric"};

}  // namespace vtq::layout
