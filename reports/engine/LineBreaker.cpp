#include "reports/engine/LineBreaker.h"

namespace zz::report {

namespace {
bool isLineBreak(QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); }
} // namespace

void breakLines(const QString& text, const FontFace& face, float em, float maxWidth, int maxLines, std::vector<TextLine>& lines)
{
    lines.clear();
    const int n = text.size();
    auto measure = [&](int start, int end) {
        while (end > start && text.at(end - 1) == QLatin1Char(' '))
            --end;
        return TextLine{start, end - start, face.width(QStringView(text).mid(start, end - start)) * em};
    };
    int pos = 0;
    while (int(lines.size()) < maxLines) {
        int paragraphEnd = pos;
        while (paragraphEnd < n && !isLineBreak(text.at(paragraphEnd)))
            ++paragraphEnd;
        int start = pos;
        if (maxWidth >= 0) {
            float w = 0;
            int breakAt = -1;
            for (int i = start; i < paragraphEnd; ++i) {
                const QChar c = text.at(i);
                w += face.advanceAt(text, i) * em;
                if (c == QLatin1Char(' ')) {
                    if (i > start)
                        breakAt = i;
                    continue;
                }
                if (w > maxWidth + 0.01f && breakAt > start) {
                    lines.push_back(measure(start, breakAt));
                    if (int(lines.size()) >= maxLines)
                        return;
                    start = breakAt;
                    while (start < paragraphEnd && text.at(start) == QLatin1Char(' '))
                        ++start;
                    i = start - 1;
                    w = 0;
                    breakAt = -1;
                }
            }
        }
        lines.push_back(measure(start, paragraphEnd));
        if (paragraphEnd >= n)
            return;
        pos = paragraphEnd + 1;
        if (text.at(paragraphEnd) == QLatin1Char('\r') && pos < n && text.at(pos) == QLatin1Char('\n'))
            ++pos;
    }
}

} // namespace zz::report
