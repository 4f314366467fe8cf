#pragma once
// The named colour schemes of the gradient button and the gradient panel.
#include "widgets/Colors.h"

namespace zz {

enum class ButtonScheme {
    csNeoDesert, csNeoSky, csNeoGrass, csNeoSilver, csNeoRose, csNeoSun,
    csDesert, csGrass, csSky, csSun, csRose, csSilver,
    csCustom
};
enum class PanelScheme { csCustom, csDesert, csGrass, csSilver, csSky, csRose, csSun };

// The six colours of one look of the button.
struct ButtonColors {
    TColor face = 0;   // gradient start (top)
    TColor grad = 0;   // gradient end
    TColor light = 0;  // inner highlight
    TColor dark = 0;   // inner shadow
    TColor border = 0;
    TColor text = 0;
};

// The four colour sets of a button scheme.
struct ButtonSchemeColors {
    ButtonColors normal, over, down, disabled;
};

// Whether the button scheme draws a gradient (the Neo schemes) or a flat face.
bool isGradientScheme(ButtonScheme scheme);
// The colours of a named button scheme; all zero for csCustom.
ButtonSchemeColors buttonSchemeColors(ButtonScheme scheme);

// The three colours a panel scheme sets beside the white face.
struct PanelSchemeColors {
    TColor grad, light, dark;
};

// The colours of a named panel scheme; all zero for csCustom.
PanelSchemeColors panelSchemeColors(PanelScheme scheme);

} // namespace zz
