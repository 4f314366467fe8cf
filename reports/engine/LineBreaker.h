#pragma once
// Breaking an element's text into the lines it prints on.
#include <QString>
#include <vector>

#include "reports/engine/FontFace.h"

namespace zz::report {

// One printed line: where it starts in the text, how many characters it takes (the blanks at
// its end left out) and how wide it prints, in tenths of a millimetre.
struct TextLine {
    int start = 0;
    int length = 0;
    float width = 0;
};

// Breaks the text into at most maxLines lines (into `lines`, cleared first), measured in the
// face at em tenths of a millimetre per em: at line breaks ("\n", "\r" or "\r\n"), and where
// maxWidth is not negative also at spaces, so that each line fits maxWidth where a space allows.
// A word wider than maxWidth stays whole on its line.
void breakLines(const QString& text, const FontFace& face, float em, float maxWidth, int maxLines, std::vector<TextLine>& lines);

} // namespace zz::report
