#include "engine/design_state.h"

namespace vtq {

#define VTQ_BOX(name)         \
  OutputBoxField {            \
#name, &OutputBoxes::name \
  }
const std::array<OutputBoxField, 20> kOutputBoxFields{{
    VTQ_BOX(txtPN),       VTQ_BOX(OD),
    VTQ_BOX(ID),          VTQ_BOX(HT),
    VTQ_BOX(AL),          VTQ_BOX(FAP),
    VTQ_BOX(AreaProduct), VTQ_BOX(Inductance),
    VTQ_BOX(IndLabel),    VTQ_BOX(Turns),
    VTQ_BOX(WireSize),    VTQ_BOX(WireLength),
    VTQ_BOX(DCres),       VTQ_BOX(FrequencyOutput),
    VTQ_BOX(txtWoundOD),  VTQ_BOX(txtWoundID),
    VTQ_BOX(txtWoundHt),  VTQ_BOX(txtHeader),
    VTQ_BOX(txtTrise),    VTQ_BOX(txtDiffL),
}};
#undef VTQ_BOX

using K = DesignStateField::Kind;
#define VTQ_INT(name)                                       \
  DesignStateField {                                        \
    K::Integer, #name, &DesignState::name, nullptr, nullptr \
  }
#define VTQ_SNG(name)                                      \
  DesignStateField {                                       \
    K::Single, #name, nullptr, &DesignState::name, nullptr \
  }
#define VTQ_STR(name)                                      \
  DesignStateField {                                       \
    K::String, #name, nullptr, nullptr, &DesignState::name \
  }
const std::array<DesignStateField, 39> kDesignStateFields{{
    VTQ_INT(CoreRow),          VTQ_INT(DesignCore),
    VTQ_INT(ListCore),         VTQ_INT(StackCount),
    VTQ_INT(MaterialIndex),    VTQ_STR(MaterialLetter),
    VTQ_INT(Permeability),     VTQ_INT(DesignMode),
    VTQ_STR(DesignModeName),   VTQ_INT(Loading),
    VTQ_SNG(CurrentDensity),   VTQ_SNG(ActualDensity),
    VTQ_SNG(CurrentValue),     VTQ_SNG(MainValue),
    VTQ_SNG(ImpedanceValue),   VTQ_SNG(CutoffFrequency),
    VTQ_SNG(EnteredFrequency), VTQ_SNG(LIProduct),
    VTQ_SNG(InductanceValue),  VTQ_STR(InductanceUnit),
    VTQ_STR(FrequencyText),    VTQ_SNG(RequiredAP),
    VTQ_SNG(UnitFactor),       VTQ_INT(WireGauge),
    VTQ_SNG(WireDiameter),     VTQ_SNG(WireArea),
    VTQ_INT(WireReduced),      VTQ_SNG(FitDiameter),
    VTQ_SNG(DCResistance),     VTQ_SNG(CopperLoss),
    VTQ_SNG(SurfaceArea),      VTQ_SNG(TempRise),
    VTQ_SNG(WoundOD),          VTQ_SNG(WoundID),
    VTQ_SNG(WoundHeight),      VTQ_SNG(CoreArea),
    VTQ_SNG(CorePath),         VTQ_SNG(LeakagePermeability),
    VTQ_SNG(DiffInductance),
}};
#undef VTQ_INT
#undef VTQ_SNG
#undef VTQ_STR

}  // namespace vtq
