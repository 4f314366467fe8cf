#include "widgets/ColorSchemes.h"

namespace zz {

namespace {

constexpr TColor rgb(int r, int g, int b) { return rgbColor(r, g, b); }

// Every gradient scheme shares this disabled set; the flat schemes take all of it but the
// gradient end.
constexpr ButtonColors kDisabled{15658734, 16777215, 16777215, 13816530, 8421504, 8421504};

} // namespace

bool isGradientScheme(ButtonScheme scheme)
{
    switch (scheme) {
    case ButtonScheme::csNeoDesert:
    case ButtonScheme::csNeoSky:
    case ButtonScheme::csNeoGrass:
    case ButtonScheme::csNeoSilver:
    case ButtonScheme::csNeoRose:
    case ButtonScheme::csNeoSun: return true;
    default: return false;
    }
}

// In the pressed set the face is darker than the gradient end, so a pressed gradient runs the
// other way round; highlight and shadow swap likewise. The flat schemes leave the gradient ends
// (zero here) alone.
ButtonSchemeColors buttonSchemeColors(ButtonScheme scheme)
{
    switch (scheme) {
    case ButtonScheme::csNeoSilver:
        return {{15987699, 12369084, 16250871, 10987431, 6447714, 0},
                {15790320, 10921638, 15658734, 10658466, 7697781, 0},
                {13290186, 14342874, 8158332, 15329769, 5131854, 0},
                kDisabled};
    case ButtonScheme::csNeoRose:
        return {{15263999, 9803263, 14540287, 8553215, 157, 0},
                {14671871, 7829503, 14145535, 6974207, 157, 0},
                {10921727, 12171775, 6184703, 13553407, 157, 0},
                kDisabled};
    case ButtonScheme::csNeoGrass:
        return {{14547432, 6217614, 13366747, 2406748, 1404727, 0},
                {12579538, 4053111, 11923659, 2339929, 1538365, 0},
                {5168259, 8447654, 1539390, 9037740, 1471545, 0},
                kDisabled};
    case ButtonScheme::csNeoDesert:
        return {{rgb(255, 244, 224), rgb(244, 196, 112), rgb(255, 248, 232), rgb(196, 148, 64), rgb(155, 105, 0), 0},
                {rgb(255, 240, 214), rgb(238, 180, 82), rgb(255, 244, 222), rgb(186, 136, 52), rgb(170, 116, 0), 0},
                {rgb(226, 168, 70), rgb(246, 206, 136), rgb(150, 104, 24), rgb(252, 232, 196), rgb(132, 88, 0), 0},
                kDisabled};
    case ButtonScheme::csNeoSky:
        return {{rgb(236, 244, 255), rgb(140, 190, 245), rgb(244, 249, 255), rgb(96, 150, 215), rgb(0, 88, 179), 0},
                {rgb(228, 240, 255), rgb(112, 172, 240), rgb(238, 246, 255), rgb(80, 136, 205), rgb(0, 100, 196), 0},
                {rgb(96, 156, 226), rgb(162, 204, 248), rgb(40, 96, 170), rgb(206, 228, 252), rgb(0, 70, 150), 0},
                kDisabled};
    case ButtonScheme::csNeoSun:
        return {{rgb(255, 253, 232), rgb(250, 226, 110), rgb(255, 254, 240), rgb(204, 176, 56), rgb(130, 116, 0), 0},
                {rgb(255, 251, 220), rgb(246, 214, 76), rgb(255, 252, 232), rgb(192, 164, 40), rgb(146, 130, 0), 0},
                {rgb(230, 196, 60), rgb(250, 232, 140), rgb(150, 126, 10), rgb(255, 246, 200), rgb(112, 100, 0), 0},
                kDisabled};
    case ButtonScheme::csDesert:
        return {{rgb(252, 226, 170), 0, rgb(255, 246, 226), rgb(190, 140, 50), rgb(155, 105, 0), 0},
                {rgb(255, 234, 190), 0, rgb(255, 250, 236), rgb(196, 148, 64), rgb(170, 116, 0), 0},
                {rgb(236, 198, 122), 0, rgb(190, 140, 50), rgb(255, 246, 226), rgb(132, 88, 0), 0},
                kDisabled};
    case ButtonScheme::csGrass:
        return {{rgb(196, 236, 170), 0, rgb(232, 250, 220), rgb(106, 160, 70), rgb(55, 111, 21), 0},
                {rgb(208, 242, 186), 0, rgb(240, 252, 232), rgb(116, 170, 80), rgb(70, 124, 30), 0},
                {rgb(160, 210, 128), 0, rgb(90, 140, 56), rgb(232, 250, 220), rgb(45, 96, 14), 0},
                kDisabled};
    case ButtonScheme::csSky:
        return {{rgb(200, 226, 252), 0, rgb(238, 246, 255), rgb(96, 150, 215), rgb(0, 88, 179), 0},
                {rgb(214, 234, 255), 0, rgb(244, 249, 255), rgb(110, 162, 222), rgb(0, 100, 196), 0},
                {rgb(160, 200, 244), 0, rgb(70, 120, 190), rgb(238, 246, 255), rgb(0, 70, 150), 0},
                kDisabled};
    case ButtonScheme::csSun:
        return {{rgb(255, 246, 176), 0, rgb(255, 253, 230), rgb(200, 170, 40), rgb(130, 116, 0), 0},
                {rgb(255, 250, 200), 0, rgb(255, 254, 240), rgb(206, 178, 56), rgb(146, 130, 0), 0},
                {rgb(240, 220, 120), 0, rgb(170, 146, 20), rgb(255, 253, 230), rgb(112, 100, 0), 0},
                kDisabled};
    case ButtonScheme::csRose:
        return {{rgb(255, 214, 214), 0, rgb(255, 240, 240), rgb(210, 120, 120), rgb(157, 0, 0), 0},
                {rgb(255, 226, 226), 0, rgb(255, 246, 246), rgb(220, 134, 134), rgb(176, 0, 0), 0},
                {rgb(238, 172, 172), 0, rgb(180, 90, 90), rgb(255, 240, 240), rgb(130, 0, 0), 0},
                kDisabled};
    case ButtonScheme::csSilver:
        return {{rgb(222, 222, 222), 0, rgb(248, 248, 248), rgb(160, 160, 160), rgb(98, 98, 98), 0},
                {rgb(232, 232, 232), 0, rgb(250, 250, 250), rgb(168, 168, 168), rgb(117, 117, 117), 0},
                {rgb(200, 200, 200), 0, rgb(124, 124, 124), rgb(240, 240, 240), rgb(78, 78, 78), 0},
                kDisabled};
    case ButtonScheme::csCustom: break;
    }
    return {};
}

PanelSchemeColors panelSchemeColors(PanelScheme scheme)
{
    switch (scheme) {
    case PanelScheme::csDesert: return {10805759, 36821, 27035};
    case PanelScheme::csGrass: return {11596491, 4109674, 1404727};
    case PanelScheme::csSilver: return {14344414, 8224125, 6447714};
    case PanelScheme::csSky: return {16769217, 15767117, 11753728};
    case PanelScheme::csRose: return {13421823, 414156, 157};
    case PanelScheme::csSun: return {12582911, 38293, 25700};
    case PanelScheme::csCustom: break;
    }
    return {};
}

} // namespace zz
